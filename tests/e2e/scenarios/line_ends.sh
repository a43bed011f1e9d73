# A manifest with lone LF line ends and no final line end; a scenery.cfg
# with lone LF ends, headers out of order and in other letter cases, and no
# final line end: every line is read, the new area is the largest number
# plus 1, and the old last line stays whole.
prepare() {
  printf 'InstallTitle=Harbour Island Scenery\nSceneryTitle=Harbour Island\nTargetPath=F:\\FS2000\\Addon Scenery\\Harbour Island\nGuessFSFolder=F:\\FS2000\nBackupCFG=scenery.bak\nExtension=bmp\nExtension=r8\nExclude=N47 30,W122 30' > "$pkg/Setup.ini"
  printf '[General]\nTitle=FS2000\n\n  [area.120]\nLayer=120\n\n[Area.007]\nLayer=7\n[AREA.044]\nLayer=44' > "$sim/scenery.cfg"
}
steps() { install_all; }
verify() {
  printf '\r\n' > "$work/addition"
  section 121 121 "$DEST" 'Exclude=N47 30,W122 30' >> "$work/addition"
  assert_cfg_appended "$work/addition"
  assert_backup_is_old_cfg
  assert_installed "$DEST_UNIX"
}
