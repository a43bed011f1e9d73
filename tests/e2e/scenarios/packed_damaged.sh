# A packed Setup.exe cut short, as by a broken download, is refused at
# start: the report titled "Setup" names the program and says to download
# the package again, exit code 2, and nothing is written.
prepare() {
  pack_alone
  size=$(stat -c %s "$work/alone/Setup.exe")
  truncate -s $((size - 100)) "$work/alone/Setup.exe"
}
steps() {
  cat <<'STEPS'
start alone\Setup.exe
box "Please download the package again." ok Setup critical
exit 2
STEPS
}
verify() {
  assert_log "alone\\Setup.exe"
  assert_log "It is cut short"
  assert_nothing_installed
}
