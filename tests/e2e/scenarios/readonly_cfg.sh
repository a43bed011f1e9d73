# A scenery.cfg that another program holds open against writing: the
# backup is made, the append is refused, and scenery.cfg stays whole.
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
  assert_log "Setup could not add to the file"
  assert_log "Please close FS 2000 and run Setup again."
  assert_log "its backup is F:\\FS2000\\scenery.bak"
  assert_cfg_unchanged
  assert_backup_is_old_cfg
  assert_installed "$DEST_UNIX"
}
