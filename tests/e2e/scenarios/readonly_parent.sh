# A destination below a read-only folder (a read-only file system, since
# Wine running as root ignores the read-only attribute) cannot be made.
prepare() {
  mkdir -p "$work/small"
  mount -t tmpfs -o size=1m tmpfs "$work/small" 2>/dev/null || { echo "cannot mount: skipped"; exit 77; }
  mkdir "$work/small/Locked"
  mount -o remount,ro "$work/small"
}
steps() {
  to_destination
  start_into 'G:\Locked\Harbour'
  cat <<'STEPS'
box "G:\Locked\Harbour" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "Setup could not make the folder"
  assert_cfg_unchanged
  assert_no_backup
}
