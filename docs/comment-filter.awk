# Doxygen input filter for the public headers: the headers keep the code
# base's plain `//` comments, and this filter shows doxygen which of them
# document a declaration, without moving a line (warnings keep their line
# numbers):
#   - a block of whole-line `//` comments directly above a declaration
#     becomes a `///` block (a block above a blank line, a preprocessor
#     line, a closing brace or an access label stays a plain comment);
#     a section rule such as `// ---- Rounding ----` stays plain;
#   - a `// text` after a declaration on its line becomes `///< text`
#     (not a NOLINT remark, nor after code holding a quote).
function is_plain_comment(s) { return s ~ /^[ \t]*\/\/([^\/!]|$)/ }
function is_rule(s) { return s ~ /^[ \t]*\/\/ ?-+ .*-+[ \t]*$/ }
function documents(s) {
    if (s ~ /^[ \t]*$/) return 0
    if (s ~ /^[ \t]*#/) return 0
    if (s ~ /^[ \t]*}/) return 0
    if (s ~ /^[ \t]*(public|private|protected)[ \t]*:/) return 0
    if (s ~ /^[ \t]*namespace[ \t]/) return 0
    return 1
}
function flush(next_line,    i, doc) {
    doc = documents(next_line)
    for (i = 1; i <= n; i++) {
        line = block[i]
        if (doc && !is_rule(line)) sub(/\/\//, "///", line)
        print line
    }
    n = 0
}
function trailing(s,    at, code, text) {
    at = index(s, "  // ")
    if (at == 0) return s
    code = substr(s, 1, at - 1)
    text = substr(s, at + 5)
    if (code ~ /^[ \t]*$/ || code ~ /"/ || code ~ /\/\// || text ~ /^NOLINT/) return s
    if (code !~ /[;,{}][ \t]*$/) return s
    return code "  ///< " text
}
{
    if (is_plain_comment($0)) {
        block[++n] = $0
        next
    }
    flush($0)
    print trailing($0)
}
END { flush("") }
