# A library that has reached [Area.999] gets [Area.1000]; installing the same
# package into the same folder again copies the files again but adds no
# second area and writes neither scenery.cfg nor its backup.
prepare() {
  printf '[Area.999]\r\nTitle=Old Area\r\nLocal=Addon Scenery\\Old\r\nActive=TRUE\r\nLayer=999\r\n\r\n' \
    >> "$sim/scenery.cfg"
}
steps() {
  install_all
  to_licence
  cat <<STEPS
click 101
click 102
wait-page "$TITLE" 105 "Enter or select a destination directory."
click 101
wait-page "$TITLE" 105 "Enter or select the FS2000 directory."
click 101
wait-page "$TITLE" 100 "The Setup programme is ready to copy files!"
click 101
wait-page "$TITLE" 100 "Congratulations! This scenery was successfully installed!"
click 101
exit 0
STEPS
}
verify() {
  assert_installed "$DEST_UNIX"
  assert_backup_is_old_cfg
  section 1000 1000 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
