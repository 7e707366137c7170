# Sourced by the scripts that run Windows programs under Wine: sets
# windows_preset to the build preset whose programs this machine can run.
#   windows      the 32-bit build, the one that ships (32-bit Wine)
#   windows-x64  the same code built for x86-64 (64-bit Wine), on machines
#                whose kernel runs no 32-bit code at all (there the 32-bit
#                Wine loader fails with "Exec format error")
# The program reads and writes the registry's 32-bit view explicitly, so both
# builds see the same keys.
if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  windows_preset=windows-x64
else
  windows_preset=windows
fi
