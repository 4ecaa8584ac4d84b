#!/usr/bin/python3
"""Parses an iCalendar file with the icalendar package (Debian python3-icalendar)
and prints one line per event: UID, start (date or local date-time with the
zone's offset), summary. Exits 1 when the file does not parse or breaks the
rules checked here (required properties, unique UIDs, CRLF line ends, lines of
at most 75 octets)."""
import sys
import icalendar

data = open(sys.argv[1], "rb").read()
lines = data.split(b"\r\n")
if lines[-1] != b"":
    sys.exit("file does not end with CRLF")
for line in lines:
    if b"\n" in line or b"\r" in line:
        sys.exit("bare line break")
    if len(line) > 75:
        sys.exit("line longer than 75 octets: %r" % line[:80])
cal = icalendar.Calendar.from_ical(data)
uids = set()
for ev in cal.walk("VEVENT"):
    for prop in ("UID", "DTSTAMP", "DTSTART", "SUMMARY"):
        if prop not in ev:
            sys.exit("event without " + prop)
    uid = str(ev["UID"])
    if uid in uids:
        sys.exit("duplicate UID " + uid)
    uids.add(uid)
    start = ev.decoded("DTSTART")
    if hasattr(start, "utcoffset") and start.utcoffset() is not None:
        text = start.isoformat()
    else:
        text = start.isoformat()
    print("%s\t%s\t%s" % (uid, text, str(ev["SUMMARY"])))
