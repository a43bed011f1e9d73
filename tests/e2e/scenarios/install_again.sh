# A library that has reached [Area.999] gets [Area.1000]; installing the same
# package into the same folder again copies the files again but adds no
# second area and writes neither scenery.cfg nor its backup.
prepare() {
  printf '[Area.999]\r\nTitle=Old Area\r\nLocal=Addon Scenery\\Old\r\nActive=TRUE\r\nLayer=999\r\n\r\n' \
    >> "$sim/scenery.cfg"
}
steps() {
  install_all
  to_destination
  install_from_destination
}
verify() {
  assert_installed "$DEST_UNIX"
  assert_backup_is_old_cfg
  section 1000 1000 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
