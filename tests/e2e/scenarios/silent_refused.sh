# Silent installations that fail: a simulator folder without scenery.cfg, a
# destination that is a file. No window, exit code 2, the reason in the
# log, nothing written.
prepare() { mkdir -p "$work/drive_f/Empty"; }
steps() {
  cat <<STEPS
start $PROGRAM /S /FS=F:\\Empty /LOG=F:\\fail.log
no-box 500
exit 2
start $PROGRAM /S "/D=F:\\FS2000\\scenery.cfg" /LOG=F:\\fail.log
no-box 500
exit 2
STEPS
}
verify() {
  assert_nothing_installed
  log="$work/drive_f/fail.log"
  grep -qF 'Setup could not find scenery.cfg in the folder:' "$log" || fail "no reason for the simulator folder"
  grep -qF 'FS 2000 does not exists in the specified path' "$log" || fail "not the page's words"
  grep -qF '"F:\FS2000\scenery.cfg" names a file, not a folder.' "$log" || fail "no reason for the destination"
  [ "$(grep -c 'Exit code 2' "$log")" -eq 2 ] || fail "the exit codes are not logged"
}
