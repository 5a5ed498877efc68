# bench-phases.awk: one watched run's phases from tlvdrive's "changed ms=T text=..." lines and
# its final "appeared ms=T". A phase ends where its status first shows (the box for the last)
# and begins where the one before it that was seen ended (process start for the first): so
# the phases add up to the total. One not seen has no time of its own; it goes to the next.
#   awk -v ends="STATUS|...|STATUS" -f bench-phases.awk WATCH_LOG
# prints "total T", then "phase MS" or "phase -" per status and one for the box, then
# "merged I" for each phase I (from 1) counted in the next seen one.
BEGIN {
  n = split(ends, status, "|")
  for (i = 1; i <= n; i++) index_of["\"" status[i] "\""] = i
  reached = 0
  since = 0
}
# A status shown again, or one seen after a later one, ends no phase.
/^changed ms=[0-9]+ text=/ {
  ms = substr($2, 4) + 0
  text = substr($0, index($0, "text=") + 5)
  if (!(text in index_of) || index_of[text] <= reached) next
  close_phase(index_of[text], ms)
}
/^appeared ms=[0-9]+$/ { total = substr($2, 4) + 0; close_phase(n + 1, total); seen_box = 1 }
function close_phase(at, ms,    i) {
  for (i = reached + 1; i < at; i++) value[i] = "-"
  value[at] = ms - since
  since = ms
  reached = at
}
END {
  if (!seen_box) exit 1
  print "total " total
  for (i = 1; i <= n + 1; i++) print "phase " value[i]
  for (i = 1; i <= n; i++) if (value[i] == "-") print "merged " i
}
