# After the installation a close request ends the program without a question.
steps() {
  to_copy
  cat <<'STEPS'
click 101
wait-page "Harbour Island Scenery" 100 "Congratulations! This scenery was successfully installed!"
close
exit 0
STEPS
}
verify() {
  assert_installed "$DEST_UNIX"
  assert_backup_is_old_cfg
}
