#!/bin/sh
# Runs `make test` as a new Debian 13 user would: on a clean clone of this
# checkout's HEAD, inside a Debian 13 root made with debootstrap on first use.
#   tools/test-in-debian13.sh ROOT [MAKE ARGUMENTS...]   (as root; ROOT outside the tree)
# The root is kept for the next run; the clone (/srv/glimmerz inside, where the
# unprivileged users of the daemon cases can reach it) is made anew each time.
set -e
root=${1:?usage: $0 ROOT [MAKE ARGUMENTS...]}
shift
[ $# -gt 0 ] || set -- JOBS=1
tree=$(cd "$(dirname "$0")/.." && pwd)
mirror=$(sed -n 's/^URIs: *//p; s/^deb \(\[[^]]*\] \)\{0,1\}\(http[^ ]*\) .*/\2/p' \
  /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null | grep -v security | head -n 1)

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase --include=make,git,ca-certificates trixie "$root" "${mirror:-http://deb.debian.org/debian}"
fi
# No service starts inside; the host's name server and added certificate
# authorities reach apt and npm inside.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
cp /etc/resolv.conf "$root/etc/resolv.conf"
if ls /usr/local/share/ca-certificates/*.crt >/dev/null 2>&1; then
  cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
  chroot "$root" update-ca-certificates >/dev/null
fi

mounted=""
unmount() {
  for m in $mounted; do umount -l "$root$m" || true; done
}
trap unmount EXIT
trap 'exit 1' INT TERM
for m in /proc /sys /dev /dev/pts; do
  mount --bind "$m" "$root$m"
  mounted="$m $mounted"
done
mount -t tmpfs shm "$root/dev/shm"
mounted="/dev/shm $mounted"

rm -rf "$root/srv/glimmerz"
git clone -q --no-local "$tree" "$root/srv/glimmerz"
git -C "$root/srv/glimmerz" checkout -q "$(git -C "$tree" rev-parse HEAD)"
chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  LANG=C.UTF-8 TERM=dumb sh -c 'cd /srv/glimmerz && make test "$@"' make "$@"
