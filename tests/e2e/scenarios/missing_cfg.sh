# scenery.cfg vanishes after the simulator page accepted it: the package is
# installed, the registration is reported, nothing is half-written.
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
  assert_log "but the simulator does not know it yet"
  [ ! -e "$sim/scenery.cfg" ] || fail "scenery.cfg was made"
  assert_no_backup
  assert_installed "$DEST_UNIX"
}
