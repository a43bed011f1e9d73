# A destination on a drive that does not exist cannot be made.
steps() {
  to_destination
  start_into 'Q:\Addon\Harbour'
  cat <<'STEPS'
box "Q:\Addon" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "Setup could not make the folder"
  assert_log "No file was copied; scenery.cfg was not changed."
  assert_cfg_unchanged
  assert_no_backup
}
