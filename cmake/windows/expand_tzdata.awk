# Turns tzdata.zi, the compact form of the IANA time-zone rules that Debian's tzdata
# package installs, back into the source form the date library parses: full keywords
# (Rule, Zone, Link), full month and weekday names, "only"/"max"/"min", and zone
# continuation lines that start with a tab.
#
#   awk -f expand_tzdata.awk -v version_file=OUT/version tzdata.zi > OUT/zones
BEGIN {
  split("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec", months, " ")
  split("Sun Mon Tue Wed Thu Fri Sat", weekdays, " ")
  years["o"] = "only"; years["ma"] = "max"; years["mi"] = "min"
}

# The one name of `names` that starts with `prefix`; the compact form keeps names
# just long enough to be unambiguous.
function expand(prefix, names, n,   i, found, count) {
  count = 0
  for (i = 1; i <= n; i++) {
    if (index(names[i], prefix) == 1) { found = names[i]; count++ }
  }
  if (count != 1) { print "expand_tzdata: cannot expand " prefix " on line " NR > "/dev/stderr"; exit 1 }
  return found
}

function year(field) { return (field in years) ? years[field] : field }
function month(field) { return expand(field, months, 12) }

# A day of the month: 5, lastSun, Sun>=8, Sat<=30.
function day(field,   at) {
  if (field ~ /^[0-9]+$/) return field
  if (field ~ /^last/) return "last" expand(substr(field, 5), weekdays, 7)
  at = match(field, /[<>]=/)
  if (at) return expand(substr(field, 1, at - 1), weekdays, 7) substr(field, at)
  print "expand_tzdata: bad day " field " on line " NR > "/dev/stderr"; exit 1
}

# The UNTIL columns of a zone line, from field `first` on.
function until(first) {
  if (NF >= first + 1) $(first + 1) = month($(first + 1))
  if (NF >= first + 2) $(first + 2) = day($(first + 2))
}

/^# version / { if (version_file != "") print $3 > version_file; next }
/^#/ || NF == 0 { next }
$1 == "R" {
  $1 = "Rule"; $3 = year($3); $4 = year($4); $6 = month($6); $7 = day($7)
  print; in_zone = 0; next
}
$1 == "Z" { $1 = "Zone"; until(6); print; in_zone = 1; next }
$1 == "L" { $1 = "Link"; print; in_zone = 0; next }
in_zone { until(4); print "\t" $0; next }
{ print "expand_tzdata: unexpected line " NR ": " $0 > "/dev/stderr"; exit 1 }
