# Sourced by run.sh and test.sh: installs the Debian packages the build needs, only those missing.
# Uses sudo only when not running as root.

korvane_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-image-formats-plugins
    libgtest-dev libgmock-dev libbenchmark-dev clang-format
    libopencv-imgproc-dev libopencv-features2d-dev libopencv-calib3d-dev)

korvane_install_missing() {
    local missing=()
    local package
    for package in "${korvane_packages[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

korvane_configure_and_build() {
    local build_dir=$1
    shift
    cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
    cmake --build "$build_dir" -j2
}
