# How the guest image is made: the recipe whose hash names the image.
# Sourced by tools/vm/vm.sh.

qf_vm_suite=bookworm
# What the guest holds besides Debian's minimal system: the kernel, 32-bit Wine,
# the X server and tools that tests/e2e answers boxes with, Python for its driver.
qf_vm_guest_packages="linux-image-amd64 initramfs-tools kmod iproute2 wine wine64 wine32:i386
  xvfb xauth xdotool x11-utils imagemagick python3"

# Debian's mirror as this machine's apt has it configured: the first enabled
# "deb" source whose URI ends in /debian and whose suite is not a security
# suite, from apt's own source list and source parts (one-line .list files
# and deb822 .sources files alike). Prints nothing and fails when apt names
# none; the image is then not built, since any address put here instead would
# be one this machine was never set up to use.
qf_vm_mirror() {
  local list parts files=() uri
  eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
  [ -n "${list:-}" ] && [ -f "$list" ] && files+=("$list")
  if [ -n "${parts:-}" ] && [ -d "$parts" ]; then
    local f
    for f in "$parts"/*.list "$parts"/*.sources; do
      [ -f "$f" ] && files+=("$f")
    done
  fi
  [ ${#files[@]} -gt 0 ] && uri=$(awk '
    function usable(u, suites,   n, i, s) {
      if (u !~ /^(https?|ftp|file):\/\/.*\/debian\/?$/) return 0
      n = split(suites, s, /[[:space:]]+/)
      for (i = 1; i <= n; i++) if (s[i] != "" && s[i] !~ /-security$/) return 1
      return 0
    }
    function done_stanza(   n, i, u) {
      if (types ~ /(^|[[:space:]])deb([[:space:]]|$)/ && tolower(enabled) != "no") {
        n = split(uris, u, /[[:space:]]+/)
        for (i = 1; i <= n; i++)
          if (usable(u[i], suites)) { sub(/\/$/, "", u[i]); print u[i]; found = 1; exit }
      }
      types = uris = suites = enabled = ""
    }
    FNR == 1 { if (deb822) done_stanza(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 && /^[[:space:]]*$/ { done_stanza(); next }
    deb822 && /^[^#[:space:]][^:]*:/ {
      key = tolower($0); sub(/:.*/, "", key)
      value = $0; sub(/^[^:]*:[[:space:]]*/, "", value); sub(/[[:space:]]+$/, "", value)
      if (key == "types") types = value
      else if (key == "uris") uris = value
      else if (key == "suites") suites = value
      else if (key == "enabled") enabled = value
      next
    }
    !deb822 && $1 == "deb" {
      line = $0; sub(/#.*/, "", line); sub(/^deb[[:space:]]+/, "", line)
      if (line ~ /^\[/) sub(/^\[[^]]*\][[:space:]]*/, "", line)
      n = split(line, w, /[[:space:]]+/)
      if (n >= 2 && usable(w[1], w[2])) { sub(/\/$/, "", w[1]); print w[1]; found = 1; exit }
    }
    END { if (deb822 && !found) done_stanza() }
  ' "${files[@]}")
  if [ -z "${uri:-}" ]; then
    echo "VM image: apt names no Debian mirror (no enabled \"deb\" source ending in /debian in" \
      "${list:-sources.list} or ${parts:-sources.list.d}); configure one for apt first" >&2
    return 1
  fi
  echo "$uri"
}

# Unmounts what the image build mounted inside the root folder.
qf_vm_unmount() {
  local root=$1 m
  for m in proc sys dev/pts dev; do
    mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
  done
  return 0
}

qf_vm_build_image() {
  local final=$1 tmp root started mirror size
  started=$(date +%s)
  tmp="$final.tmp-$$"
  root="$tmp/root"
  # Left-overs of a build that broke off are never used; they are removed here.
  local old
  for old in "$qf_vm_cache"/guest-*.tmp-*; do
    [ -e "$old" ] || continue
    qf_vm_unmount "$old/root"
    rm -rf --one-file-system "$old"
  done
  mkdir -p "$root"
  mirror=$(qf_vm_mirror) || return 1
  echo "VM image: building $final from $mirror (about 5 minutes)"
  if ! debootstrap --variant=minbase "$qf_vm_suite" "$root" "$mirror" >"$tmp/debootstrap.log" 2>&1; then
    qf_vm_unmount "$root"
    echo "debootstrap failed; see $tmp/debootstrap.log" >&2
    return 1
  fi
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
      dpkg --add-architecture i386
      apt-get update -q
      apt-get install -y -q --no-install-recommends $(echo $qf_vm_guest_packages)
      apt-get clean
      rm -rf /var/lib/apt/lists/*" >"$tmp/packages.log" 2>&1; then
    qf_vm_unmount "$root"
    echo "installing the guest's packages failed; see $tmp/packages.log" >&2
    return 1
  fi
  qf_vm_unmount "$root"
  rm -f "$root/usr/sbin/policy-rc.d" "$root/etc/resolv.conf"
  install -m 755 tools/vm/guest-init "$root/sbin/qf-init"
  mkdir -p "$root/var/lib/qf"
  cp "$root"/boot/vmlinuz-* "$tmp/vmlinuz"
  cp "$root"/boot/initrd.img-* "$tmp/initrd.img"
  # Room for the test machines (copies of the prefix) beside the system.
  size=$(( $(du -sm "$root" | cut -f1) + 3072 ))
  mkfs.ext4 -q -F -L qfroot -d "$root" "$tmp/root.img" "${size}M" ||
    { echo "mkfs.ext4 failed" >&2; return 1; }
  rm -rf --one-file-system "$root"
  echo "VM image: system ready after $(( $(date +%s) - started )) s; baking the seeded 32-bit prefix"

  # The first boot writes into the image itself: the seeded template prefix.
  local share="$tmp/share" bake_started
  bake_started=$(date +%s)
  mkdir -p "$share/e2e" "$share/vm"
  cp tests/e2e/*.py "$share/e2e/"
  cp tests/vm/*.py "$share/vm/"
  echo 'python3 /mnt/qf/vm/bake_template.py /var/lib/qf/work/template' >"$share/job.sh"
  qf_vm_boot "$tmp" "$share" 2400 persistent || { echo "baking the prefix failed" >&2; return 1; }
  echo "VM image: prefix baked in $(( $(date +%s) - bake_started )) s"
  rm -rf "$share"
  date +%s >"$tmp/ready"
  mv "$tmp" "$final"
  # Images of older recipes are of no further use.
  for old in "$qf_vm_cache"/guest-*; do
    [ "$old" = "$final" ] || [ ! -f "$old/ready" ] || rm -rf --one-file-system "$old"
  done
  echo "VM image: built in $(( $(date +%s) - started )) s"
}

