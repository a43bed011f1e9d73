# Libraries planted beside Setup.exe, under the names of those that Windows
# would take from the program's folder before the system folder (and two
# that Wine's own libraries load by name), with Wine told to prefer a
# library found there: none of them is ever loaded, and
# Setup.exe shows its licence page, its exit question and ends as usual.
PLANTED="version uxtheme comctl32 dwmapi winmm cryptbase propsys ole32 msimg32"
prepare() {
  for lib in $PLANTED; do cp "$build/tests/planted_library.dll" "$pkg/$lib.dll"; done
  WINEDLLOVERRIDES="mscoree,mshtml=;$(echo $PLANTED | tr ' ' ,)=n,b"
  export WINEDLLOVERRIDES
}
steps() {
  to_licence
  cat <<'STEPS'
click 103
box "Are you sure you want to exit ?" yes "Harbour Island Scenery" question
exit 1
STEPS
}
verify() {
  loaded="$(cd "$pkg" && ls *.loaded 2>/dev/null || true)"
  [ -z "$loaded" ] || fail "Setup.exe loaded libraries from its own folder: $(echo $loaded)"
  assert_nothing_installed
}
