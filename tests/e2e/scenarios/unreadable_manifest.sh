# A Setup.ini that cannot be read (a folder of that name) is reported.
prepare() { rm "$pkg/Setup.ini"; mkdir "$pkg/Setup.ini"; }
steps() {
  cat <<'STEPS'
start package\Setup.exe
box "Setup.ini" ok Setup critical
exit 2
STEPS
}
verify() {
  assert_log "Setup could not read the file"
  assert_log "Access denied"
}
