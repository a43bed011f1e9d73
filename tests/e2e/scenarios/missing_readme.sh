# Without ReadMe.txt the package is not whole: Start says so before anything
# is written, and the copy page stays ready (Exit ends it); scenery.cfg is
# not touched.
prepare() { rm "$pkg/ReadMe.txt"; }
steps() {
  to_copy
  cat <<'STEPS'
click 101
box "The package is not whole: it has no file" ok "Harbour Island Scenery" exclamation
expect-text 101 "Start"
click 102
box "Are you sure you want to exit ?" yes "Harbour Island Scenery" question
exit 1
STEPS
}
verify() {
  assert_log "ReadMe.txt."
  assert_log "Nothing was changed. Please ask the package's author for a whole package."
  assert_nothing_installed
}
