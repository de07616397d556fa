# Prints gameindex.txt with the two sample projects alone (Quill Bay in
# testproject, Cinder Ridge in cinderridge), in the order the file lists
# them and numbered anew: tests that run the samples see the same rows
# whatever projects a game maker has added.
/^INDEX=/ { entry = ""; inentry = 1 }
inentry { entry = entry $0 "\n" }
/^PROJECTDIR=(testproject|cinderridge)$/ { keep = 1 }
/^END INDEX$/ {
    if (keep) { n++; sub(/^INDEX=[0-9]+/, "INDEX=" n, entry); entries = entries entry }
    inentry = 0
    keep = 0
}
END { printf "1\nINDEXCOUNT=%d\n%s", n, entries }
