#!/usr/bin/env bash
# Builds the Debian package: installs what is missing, builds the installed
# programs alone in Release into build-package/, runs CPack. Prints only the
# path of the .deb on stdout; everything else goes to stderr.
set -euo pipefail
cd "$(dirname "$0")/.."
exec 3>&1 1>&2

bash scripts/install-deps.sh run package
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSRA_WERROR="$werror" \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build build-package --target tessra_installed_programs
rm -f build-package/*.deb
(cd build-package && cpack -G DEB >/dev/null)

debs=(build-package/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "CPack made no single .deb: ${debs[*]}" >&2
    exit 1
fi
echo "$PWD/${debs[0]}" >&3
