# A destination on a drive that does not exist cannot be made.
steps() {
  to_destination
  cat <<'STEPS'
type 104 "Q:\Addon\Harbour"
click 101
box "does not exist. Do you want to create it ?" yes
wait-page "Harbour Island Scenery" 105 "Enter or select the FS2000 directory."
click 101
wait-page "Harbour Island Scenery" 100 "The Setup programme is ready to copy files!"
click 101
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
