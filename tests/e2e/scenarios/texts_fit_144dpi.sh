# The same measurement of every page's texts at 144 DPI (large fonts).
prepare() { set_dpi 144; }
restore() { set_dpi 96; }
steps() {
  printf '%s\n' 'expect-dpi 144'
  fitting_texts_steps
}
verify() { assert_installed "$DEST_UNIX"; }
