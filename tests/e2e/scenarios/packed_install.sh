# The demo package packed into one Setup.exe, alone in an empty folder,
# installs the same tree and scenery.cfg as the folder of files; its files
# compressed, as scenery-pack build packs by default.
prepare() {
  pack_alone
  grep -q "Compressed (LZMA" "$work/pack.log" || fail "the package was not compressed"
}
steps() { install_all; }
verify() {
  [ "$(ls "$work/alone")" = "Setup.exe" ] || fail "Setup.exe did not stay alone"
  assert_installed "$DEST_UNIX"
  assert_backup_is_old_cfg
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
}
