# scenery.cfg vanishes after the simulator page accepted it: Start reads it
# before anything is copied, so the report comes before the copy run and
# nothing is installed or written.
steps() {
  to_copy
  cat <<'STEPS'
delete "F:\FS2000\scenery.cfg"
click 101
box "F:\FS2000\scenery.cfg" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "Nothing was installed: no file was copied, and scenery.cfg was not changed."
  [ ! -e "$sim/scenery.cfg" ] || fail "scenery.cfg was made"
  assert_no_backup
  [ ! -e "$DEST_UNIX" ] || fail "something was installed"
}
