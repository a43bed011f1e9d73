# A Setup.ini and License.txt saved by Notepad as "Unicode" (UTF-16 with its
# mark): Setup.exe reads both in the ANSI code page, its title on every page
# and the scenery's title in scenery.cfg, as from the ANSI files.
prepare() {
  for file in Setup.ini License.txt; do
    { printf '\377\376'; iconv -f WINDOWS-1252 -t UTF-16LE "$pkg/$file"; } > "$work/$file.utf16"
    mv "$work/$file.utf16" "$pkg/$file"
  done
}
steps() {
  install_all
}
verify() {
  assert_installed_utf16
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
# The installed License.txt is the package's own file, UTF-16 as it was.
assert_installed_utf16() {
  cmp -s "$pkg/License.txt" "$DEST_UNIX/License.txt" || fail "License.txt differs from the package's"
  [ -f "$DEST_UNIX/Scenery/HarbourIsland.bgl" ] || fail "the scenery was not installed"
}
