# The virtual 32-bit Windows: a Debian guest with 32-bit Wine under qemu's
# software emulation, its image cached outside the source tree.
# Source it from the repository's top folder after tools/common.sh.

# The image's folder survives the removal of the build folders.
qf_vm_cache=${QF_VM_CACHE:-/var/tmp/quarzfeld-vm}
qf_vm_memory=2048

# The recipe: everything that decides what the image holds (tools/vm/image.sh). The template
# prefix is seeded by tests/e2e's machine code; its version line stands for it.
qf_vm_recipe_hash() {
  {
    cat tools/vm/image.sh tools/vm/guest-init tests/vm/bake_template.py
    grep -h '^TEMPLATE_VERSION' tests/e2e/wine_machine.py
  } | sha256sum | cut -c1-16
}

# Sets qf_vm_image to the current image's folder, building it when missing.
qf_vm_ensure_image() {
  local hash
  hash=$(qf_vm_recipe_hash)
  qf_vm_image="$qf_vm_cache/guest-$hash"
  if [ -f "$qf_vm_image/ready" ]; then
    echo "VM image: $qf_vm_image (cached)"
    return 0
  fi
  mkdir -p "$qf_vm_cache"
  # One build at a time per cache; a second caller waits for it.
  exec 8>"$qf_vm_cache/.lock"
  flock 8
  if [ ! -f "$qf_vm_image/ready" ]; then
    qf_vm_build_image "$qf_vm_image" || { flock -u 8; exec 8>&-; return 1; }
  fi
  flock -u 8
  exec 8>&-
}

# qf_vm_boot <image folder> <shared folder> <timeout in s> [persistent]
# Boots the guest, which runs <shared folder>/job.sh and powers off. Without
# "persistent" the image stays unchanged (every write is thrown away).
# The job's output is in <shared folder>/out/job.log, its exit code in out/status.
qf_vm_boot() {
  local image=$1 share=$2 limit=$3 snapshot=on
  [ "${4:-}" = persistent ] && snapshot=off
  rm -rf "$share/out"
  mkdir -p "$share/out"
  local code=0
  timeout --kill-after=10 "$limit" qemu-system-x86_64 \
    -accel tcg,thread=multi -cpu max,-smap -smp 2 -m "$qf_vm_memory" \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 init=/sbin/qf-init panic=1 no_timer_check quiet" \
    -drive "file=$image/root.img,format=raw,if=virtio,snapshot=$snapshot" \
    -virtfs "local,path=$share,mount_tag=qfshare,security_model=none" \
    -nic none -display none -monitor none -serial "file:$share/out/console.log" -no-reboot \
    </dev/null >"$share/out/qemu.log" 2>&1 || code=$?
  if [ "$code" = 124 ] || [ "$code" = 137 ]; then
    echo "the virtual machine did not end within $limit s; console: $share/out/console.log" >&2
    return 1
  fi
  if [ ! -f "$share/out/status" ]; then
    echo "the virtual machine ended (qemu $code) without finishing its job; console: $share/out/console.log" >&2
    return 1
  fi
  [ "$(cat "$share/out/status")" = 0 ] || {
    echo "the job in the virtual machine failed; log: $share/out/job.log" >&2
    cat "$share/out/job.log" >&2
    return 1
  }
}

. tools/vm/image.sh
