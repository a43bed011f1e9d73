# Every fixed text of every page shows whole (measured with the page's font)
# at the screen's DPI, from the licence to the success line.
steps() { fitting_texts_steps; }
verify() { assert_installed "$DEST_UNIX"; }
