# A drive whose medium cannot be read: the drive list returns silently.
steps() {
  to_destination
  cat <<'STEPS'
choose 103 f:
expect-text 104 "F:\Harbour Island"
choose 103 h:
no-box 500
expect-text 104 "F:\Harbour Island"
expect-items 102 "F:\|FS2000"
click 100
box "Are you sure you want to exit ?" yes
exit 1
STEPS
}
verify() { assert_cfg_unchanged; }
