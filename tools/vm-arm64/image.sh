# How the arm64 guest image is made: the recipe whose hash names the image.
# Sourced by tools/vm-arm64/vm.sh.

qf_arm64_suite=bookworm
# Debian's minimal arm64 system, its kernel, and 64-bit Wine for arm64.
qf_arm64_guest_packages="linux-image-arm64 wine64 libwine"
# The initial RAM disk holds only what mounts the root file system: every module
# of the kernel (initramfs-tools' default) takes many minutes to copy under
# user-mode emulation.
qf_arm64_initrd_modules="virtio_pci virtio_blk ext4 crc32c_generic"

# The host runs the guest's arm64 programs while the image is made (debootstrap,
# apt) through qemu's user-mode emulator, registered with the kernel's binfmt_misc.
qf_arm64_binfmt() {
  local entry=/proc/sys/fs/binfmt_misc
  mountpoint -q "$entry" || mount -t binfmt_misc binfmt_misc "$entry" ||
    { echo "binfmt_misc cannot be mounted" >&2; return 1; }
  [ -e "$entry/qemu-aarch64" ] && return 0
  grep -v '^#' /usr/lib/binfmt.d/qemu-aarch64.conf >"$entry/register" ||
    { echo "qemu-aarch64 cannot be registered with binfmt_misc" >&2; return 1; }
}

qf_arm64_build_image() {
  local final=$1 tmp root started mirror size
  started=$(date +%s)
  tmp="$final.tmp-$$"
  root="$tmp/root"
  local old
  for old in "$qf_arm64_cache"/arm64-guest-*.tmp-*; do
    [ -e "$old" ] || continue
    qf_vm_unmount "$old/root"
    rm -rf --one-file-system "$old"
  done
  qf_arm64_binfmt || return 1
  mkdir -p "$root"
  mirror=$(qf_vm_mirror)
  echo "ARM64 VM image: building $final from $mirror"
  if ! debootstrap --arch=arm64 --variant=minbase "$qf_arm64_suite" "$root" "$mirror" \
      >"$tmp/debootstrap.log" 2>&1; then
    qf_vm_unmount "$root"
    echo "debootstrap failed; see $tmp/debootstrap.log" >&2
    return 1
  fi
  echo "ARM64 VM image: base system after $(( $(date +%s) - started )) s"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  if ! chroot "$root" /bin/sh -c "
      set -e
      export DEBIAN_FRONTEND=noninteractive
      apt-get update -q
      apt-get install -y -q --no-install-recommends initramfs-tools kmod
      echo MODULES=list >/etc/initramfs-tools/conf.d/qf-modules
      printf '%s\\n' $qf_arm64_initrd_modules >>/etc/initramfs-tools/modules
      apt-get install -y -q --no-install-recommends $(echo $qf_arm64_guest_packages)
      apt-get clean
      rm -rf /var/lib/apt/lists/*" >"$tmp/packages.log" 2>&1; then
    qf_vm_unmount "$root"
    echo "installing the guest's packages failed; see $tmp/packages.log" >&2
    return 1
  fi
  qf_vm_unmount "$root"
  echo "ARM64 VM image: packages installed after $(( $(date +%s) - started )) s"
  rm -f "$root/usr/sbin/policy-rc.d" "$root/etc/resolv.conf"
  install -m 755 tools/vm/guest-init "$root/sbin/qf-init"
  mkdir -p "$root/var/lib/qf"
  cp "$root"/boot/vmlinuz-* "$tmp/vmlinuz"
  cp "$root"/boot/initrd.img-* "$tmp/initrd.img"
  size=$(( $(du -sm "$root" | cut -f1) + 1024 ))
  mkfs.ext4 -q -F -L qfroot -d "$root" "$tmp/root.img" "${size}M" ||
    { echo "mkfs.ext4 failed" >&2; return 1; }
  rm -rf --one-file-system "$root"
  echo "ARM64 VM image: system ready after $(( $(date +%s) - started )) s; booting it to make the Wine prefix"

  # The first boot writes into the image itself: the prefix every run copies.
  local share="$tmp/share" bake_started
  bake_started=$(date +%s)
  mkdir -p "$share"
  cp tests/vm-arm64/bake_prefix.sh "$share/"
  echo 'sh /mnt/qf/bake_prefix.sh /var/lib/qf/prefix' >"$share/job.sh"
  qf_arm64_boot "$tmp" "$share" 2400 persistent || { echo "making the prefix failed" >&2; return 1; }
  cat "$share/out/job.log"
  echo "ARM64 VM image: prefix made in $(( $(date +%s) - bake_started )) s"
  rm -rf "$share"
  date +%s >"$tmp/ready"
  mv "$tmp" "$final"
  for old in "$qf_arm64_cache"/arm64-guest-*; do
    [ "$old" = "$final" ] || [ ! -f "$old/ready" ] || rm -rf --one-file-system "$old"
  done
  echo "ARM64 VM image: built in $(( $(date +%s) - started )) s"
}
