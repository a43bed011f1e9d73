# A Setup.ini and License.txt saved by Notepad as UTF-8 without a mark:
# Setup.exe reads both converted to the ANSI code page, so the accented
# title stands right on every page and the licence shows its en dash.
TITLE="A$(printf '\351')rodrome de Gen$(printf '\350')ve Scenery"
prepare() {
  sed 's/^InstallTitle=.*/InstallTitle=A\xc3\xa9rodrome de Gen\xc3\xa8ve Scenery\r/' "$pkg/Setup.ini" > "$work/Setup.ini"
  mv "$work/Setup.ini" "$pkg/Setup.ini"
  printf 'Licence \303\251t\303\251 \342\200\223 free' > "$pkg/License.txt"
}
steps() {
  install_all | while IFS= read -r line; do
    printf '%s\n' "$line"
    case "$line" in
      'wait-page "License Agreement"'*) printf 'expect-text 105 "Licence \351t\351 \226 free"\n' ;;
    esac
  done
}
verify() {
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
  cmp -s "$pkg/License.txt" "$DEST_UNIX/License.txt" || fail "License.txt differs from the package's"
}
