# Without ReadMe.txt the run stops after the scenery and texture files and
# is undone; scenery.cfg is not touched.
prepare() { rm "$pkg/ReadMe.txt"; }
steps() {
  to_copy
  cat <<'STEPS'
click 101
box "ReadMe.txt" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "Setup undid the installation: nothing was left behind; scenery.cfg was not changed."
  assert_nothing_installed
}
