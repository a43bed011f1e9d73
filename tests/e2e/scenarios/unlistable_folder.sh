# Browsing never ends the installation: as an ordinary user (root reads every
# folder), a folder that may not be listed is opened in the folder list, and
# a path below it is typed on each page; each time a box says what could not
# be opened and why, and the page stays as it was.
prepare() {
  if ! as_ordinary_user; then
    echo "== unlistable_folder: this machine cannot run Wine as an ordinary user; skipped"
    exit 77
  fi
  mkdir -p "$sim/Locked/Inner"
  chmod 000 "$sim/Locked"
}
restore() { chmod 755 "$sim/Locked" 2>/dev/null || true; }
steps() {
  to_destination
  cat <<'STEPS'
choose 103 f:
open 102 FS2000
expect-text 104 "F:\FS2000\Harbour Island"
open 102 Locked
box "Setup could not open the folder:" ok "Harbour Island Scenery" exclamation
expect-text 104 "F:\FS2000\Harbour Island"
expect-items 102 "F:\|FS2000|Locked|Scenery"
type 104 "F:\FS2000\Locked\Inner\Harbour"
click 101
box "F:\FS2000\Locked\Inner\Harbour" ok "Harbour Island Scenery" exclamation
wait-page "Harbour Island Scenery" 105 "Enter or select a destination directory."
type 104 "F:\FS2000\Addon Scenery\Harbour Island"
click 101
box "does not exist. Do you want to create it ?" yes
wait-page "Harbour Island Scenery" 105 "Enter or select the FS2000 directory."
type 104 "F:\FS2000\Locked\Inner"
click 101
box "Setup could not open the folder:" ok "Harbour Island Scenery" exclamation
wait-page "Harbour Island Scenery" 105 "Enter or select the FS2000 directory."
expect-text 104 "F:\FS2000\Locked\Inner"
click 100
box "Are you sure you want to exit ?" yes
exit 1
STEPS
}
verify() {
  assert_log "Access denied"
  assert_cfg_unchanged
  assert_no_backup
}
