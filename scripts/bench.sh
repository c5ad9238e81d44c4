#!/usr/bin/env bash
# Builds the Linux targets and runs the benchmarks: the show's ticks, frames
# at 1024x768 drawn whole and where they changed, the start-up with a
# 6000x4000 picture; then the saver's start-up to its first frame, memory and
# libraries after 10 s, CPU per wall second and peak memory on
# an Xvfb of 1024x768, beside a clear-and-swap floor and XScreenSaver's rubik;
# and the saver's CPU on headless sway beside a Wayland clear-and-swap floor.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target quarlo quarlo_bench clear_swap clear_swap_wayland
build/linux/bench/quarlo_bench
python3 bench/cpu_per_second.py --saver build/linux/src/quarlo --floor build/linux/bench/clear_swap
python3 bench/wayland_cpu.py --saver build/linux/src/quarlo --floor build/linux/bench/clear_swap_wayland
