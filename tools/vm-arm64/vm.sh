# The virtual ARM64 machine: a Debian arm64 guest with 64-bit Wine for arm64
# under qemu's software emulation (no KVM for aarch64 on an x86-64 host), its
# image cached outside the source tree. Source it from the repository's top
# folder after tools/common.sh.

# The mirror and unmount helpers of the 32-bit guest's recipe.
. tools/vm/image.sh

# Beside the 32-bit guest's images, under names of their own: tools/vm removes
# every other "guest-*" folder when it makes a new image.
qf_arm64_cache=${QF_VM_CACHE:-/var/tmp/quarzfeld-vm}
qf_arm64_memory=1536

qf_arm64_recipe_hash() {
  cat tools/vm-arm64/image.sh tools/vm/guest-init tests/vm-arm64/bake_prefix.sh |
    sha256sum | cut -c1-16
}

# Sets qf_arm64_image to the current image's folder, building it when missing.
qf_arm64_ensure_image() {
  local hash
  hash=$(qf_arm64_recipe_hash)
  qf_arm64_image="$qf_arm64_cache/arm64-guest-$hash"
  if [ -f "$qf_arm64_image/ready" ]; then
    echo "ARM64 VM image: $qf_arm64_image (cached)"
    return 0
  fi
  mkdir -p "$qf_arm64_cache"
  exec 8>"$qf_arm64_cache/.lock-arm64"
  flock 8
  if [ ! -f "$qf_arm64_image/ready" ]; then
    qf_arm64_build_image "$qf_arm64_image" || { flock -u 8; exec 8>&-; return 1; }
  fi
  flock -u 8
  exec 8>&-
}

# qf_arm64_boot <image folder> <shared folder> <timeout in s> [persistent]
# Boots the guest, which runs <shared folder>/job.sh and powers off; as
# qf_vm_boot of tools/vm/vm.sh, on qemu's "virt" board with one ARM64 core.
qf_arm64_boot() {
  local image=$1 share=$2 limit=$3 snapshot=on
  [ "${4:-}" = persistent ] && snapshot=off
  rm -rf "$share/out"
  mkdir -p "$share/out"
  local code=0
  timeout --kill-after=10 "$limit" qemu-system-aarch64 \
    -machine virt -accel tcg,thread=multi -cpu max,pauth-impdef=on -smp "${QF_VM_ARM64_CPUS:-2}" \
    -m "$qf_arm64_memory" \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "root=/dev/vda rw console=ttyAMA0 init=/sbin/qf-init panic=1 quiet" \
    -drive "file=$image/root.img,format=raw,if=none,id=root,snapshot=$snapshot" \
    -device virtio-blk-pci,drive=root \
    -fsdev "local,id=share,path=$share,security_model=none" \
    -device virtio-9p-pci,fsdev=share,mount_tag=qfshare \
    -nic none -display none -monitor none -serial "file:$share/out/console.log" -no-reboot \
    </dev/null >"$share/out/qemu.log" 2>&1 || code=$?
  if [ "$code" = 124 ] || [ "$code" = 137 ]; then
    echo "the virtual ARM64 machine did not end within $limit s; console: $share/out/console.log" >&2
    return 1
  fi
  if [ ! -f "$share/out/status" ]; then
    echo "the virtual ARM64 machine ended (qemu $code) without finishing its job; console: $share/out/console.log" >&2
    return 1
  fi
  [ "$(cat "$share/out/status")" = 0 ] || {
    echo "the job in the virtual ARM64 machine failed; log: $share/out/job.log" >&2
    cat "$share/out/job.log" >&2
    return 1
  }
}

. tools/vm-arm64/image.sh
