# A destination on a drive that does not exist: Start's check of the room
# finds no drive there, and nothing is made.
steps() {
  to_destination
  start_into 'Q:\Addon\Harbour'
  cat <<'STEPS'
box "Q:\" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "Setup could not find the free space of the drive of: Q:\\"
  assert_log "Nothing was installed: no file was copied, and scenery.cfg was not changed."
  assert_cfg_unchanged
  assert_no_backup
}
