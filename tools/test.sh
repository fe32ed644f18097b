#!/usr/bin/env bash
# Every test: the forms natively (plain, then under AddressSanitizer and
# UndefinedBehaviorSanitizer); the Linux programs in-process at scales 1 and
# 1.5, then end to end on X and Wayland; the Windows programs under Wine at 96
# and 144 DPI, then end to end with the real executables; last, the release
# packages, installed, started and removed (the .deb on this machine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

cmake --preset native-sanitize >/dev/null
cmake --build --preset native-sanitize -j "$jobs"
ctest --preset native-sanitize -j "$jobs"

cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
XDG_RUNTIME_DIR=$(mktemp -d) ctest --preset linux
bash tests/linux/run.sh build/linux

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

source tools/wine-session.sh
trap wine_down EXIT
QVL_FORCE_XVFB=1 wine_up "$PWD/build/windows" 144
echo "Windows forms at 144 DPI:"
QVL_EXPECT_DPI=144 wine build/windows/tests/win32/qvl_win32_tests.exe \
  --gtest_filter='Win32Layout.*:Win32Windows.*:Win32Countdown.Sentence*:Win32Countdown.Graphics*:Win32About.Etched*' --gtest_brief=1
wine_down

QVL_FORCE_XVFB=1 wine_up "$PWD/build/windows" 96
QVL_EXPECT_DPI=96 ctest --preset windows
bash tests/e2e/run.sh build/windows
wine_down

bash tools/package.sh
bash tests/packages/run.sh build/packages build/windows build/linux
