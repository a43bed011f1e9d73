# Without the licence text the program reports it before showing the page.
prepare() { rm "$pkg/License.txt"; }
steps() {
  cat <<'STEPS'
start package\Setup.exe
box "license.txt" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() { assert_log "File not found"; assert_cfg_unchanged; }
