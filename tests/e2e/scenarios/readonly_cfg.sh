# A scenery.cfg that another program holds open against writing: the
# backup is made, the append is refused, and the run is undone: scenery.cfg
# stays whole, and neither the package nor the backup is left.
steps() {
  to_copy
  cat <<'STEPS'
hold "F:\FS2000\scenery.cfg"
click 101
box "scenery.cfg" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "Setup could not write the new contents of the file"
  assert_log "Please close FS 2000 and run Setup again."
  assert_log "Setup undid the installation: nothing was left behind; scenery.cfg was not changed."
  assert_nothing_installed
}
