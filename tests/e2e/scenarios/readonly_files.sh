# Read-only files as an ordinary user meets them (a package from a CD, a
# scenery.cfg someone made read-only): the run copies the read-only package
# and refuses to append to the read-only scenery.cfg, saying how to clear it,
# and is undone; once cleared, a second run installs, and a third repairs
# over an installed file left read-only (the undo sets such a file aside).
# Nothing the runs wrote keeps the attribute.
prepare() {
  if ! as_ordinary_user; then
    echo "== readonly_files: this machine cannot run Wine as an ordinary user; readonly_cfg keeps the held-open case"
    exit 77
  fi
  chmod a-w "$pkg"/*
  chmod a-w "$sim/scenery.cfg"
}
steps() {
  to_copy
  cat <<'STEPS'
click 101
box "scenery.cfg is read-only: someone set it so" ok "Harbour Island Scenery" critical
exit 2
read-only "F:\FS2000\scenery.cfg" 0
STEPS
  to_destination
  start_into "$DEST"
  printf '%s\n' "wait-page \"$TITLE\" 100 \"Congratulations! This scenery was successfully installed!\"" \
    'click 101' 'exit 0' 'read-only "F:\FS2000\Addon Scenery\Harbour Island\Scenery\Runway.bgl" 1'
  to_destination
  install_from_destination
}
verify() {
  assert_log "untick Read-only, click OK, and run Setup again."
  assert_log "Setup undid the installation: nothing was left behind; scenery.cfg was not changed."
  [ -z "$(find "$DEST_UNIX" -name '~sc*')" ] || fail "a spare copy was left"
  assert_installed "$DEST_UNIX"
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
  assert_backup_is_old_cfg
  unwritable="$(find "$DEST_UNIX" "$sim/scenery.bak" -type f ! -perm -u+w)"
  [ -z "$unwritable" ] || fail "left read-only: $unwritable"
  [ -z "$(find "$pkg" -type f -perm -u+w)" ] || fail "a package file was made writable"
}
