# Without Setup.ini the program reports it and ends before any page.
prepare() { rm "$pkg/Setup.ini"; }
steps() {
  cat <<'STEPS'
start package\Setup.exe
box "Setup.ini" ok Setup critical
exit 2
STEPS
}
verify() {
  assert_log "Setup could not read the file"
  assert_log "File not found"
  assert_log "extract all its files first"
  assert_cfg_unchanged
}
