# The Windows executables are PE32 i386 images that import only system DLLs.
. "$(dirname "$0")/lib.sh"

system_dlls='^(kernel32|user32|gdi32|opengl32|winmm|ws2_32|wsock32|comdlg32|dinput|dinput8|dsound|ole32|oleaut32|shell32|advapi32|msvcrt|glu32|version|imm32|comctl32|msvfw32)\.dll$'
checked=0
for exe in "$(program game)" "$(program window_probe)"; do
  [ -f "$exe" ] || fail "missing $exe"
  file "$exe" | grep -q 'PE32 executable (GUI) Intel 80386' || fail "$(file "$exe")"
  dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$dlls" ] || fail "no import table in $exe"
  for dll in $dlls; do
    echo "$dll" | grep -Eq "$system_dlls" || fail "$exe imports $dll"
  done
  checked=$((checked + 1))
done
pass "$checked executables are PE32 i386 GUI images importing only system DLLs"
