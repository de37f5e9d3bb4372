#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A second reader of location histories, written apart from Fenrik's and run by hand: it writes
the points each JSON file here should give, one line a point as Fenrik's tests print them
(kind, segment, longitude, latitude, elevation, time in 100-ns ticks since 1601), into
NAME.json.txt. Kinds: 0 waypoint, 1 track point. Segments are numbered in the order of their
first point; waypoints have segment -1."""
import datetime
import json
import math
import pathlib
import re
import sys

NO_ELEVATION = -9999.0
EPOCH_1601 = datetime.datetime(1601, 1, 1, tzinfo=datetime.timezone.utc)


def ticks(text):
    """Ticks of an ISO 8601 time with its offset, None when it is not one."""
    if not isinstance(text, str):
        return None
    m = re.fullmatch(r"(\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)(?:\.(\d+))?(Z|[+-]\d\d:\d\d)?", text)
    if not m:
        return None
    year, month, day, hour, minute, second = (int(g) for g in m.groups()[:6])
    try:
        local = datetime.datetime(year, month, day, hour, minute, second, tzinfo=datetime.timezone.utc)
    except ValueError:
        return None
    fraction = int((m.group(7) or "0")[:7].ljust(7, "0"))
    zone = m.group(8)
    offset = 0
    if zone and zone != "Z":
        offset = (int(zone[1:3]) * 60 + int(zone[4:6])) * (-1 if zone[0] == "-" else 1)
    delta = local - EPOCH_1601
    return (delta.days * 86400 + delta.seconds) * 10**7 + fraction - offset * 60 * 10**7


def ms_ticks(text):
    if not isinstance(text, str) or not text.isdigit() or int(text) <= 0:
        return None
    ms = int(text)
    return (ms // 1000 + 11644473600) * 10**7 + ms % 1000 * 10**4


def number(value):
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        return None
    return float(value)


def e7(obj, lat_key, lng_key):
    lat, lng = number(obj.get(lat_key)), number(obj.get(lng_key))
    return None if lat is None or lng is None else (lat / 1e7, lng / 1e7)


def text_position(text):
    if not isinstance(text, str):
        return None
    text = text[4:] if text.startswith("geo:") else text
    parts = text.split(",")
    if len(parts) != 2:
        return None
    try:
        return tuple(float(p.strip().removesuffix("\u00b0")) for p in parts)
    except ValueError:
        return None


class Points:
    def __init__(self):
        self.lines = []
        self.segments = {}
        self.next_path = 0

    def new_path(self):
        self.next_path += 1
        return self.next_path

    def add(self, position, time, elevation, path):
        if position is None or time is None or time == 0:
            return
        lat, lng = position
        if not (math.isfinite(lat) and math.isfinite(lng)) or abs(lat) > 90 or abs(lng) > 180:
            return
        if path is None:
            kind, segment = 0, -1
        else:
            kind, segment = 1, self.segments.setdefault(path, len(self.segments))
        self.lines.append("%d %d %.17g %.17g %.17g %d\n" % (kind, segment, lng, lat, elevation, time))

    def visit(self, position, start, end):
        self.add(position, start, NO_ELEVATION, None)
        if end != start:
            self.add(position, end, NO_ELEVATION, None)


def timestamp(obj, key, ms_key):
    if key in obj:
        return ticks(obj[key])
    return ms_ticks(obj.get(ms_key))


def read(doc):
    out = Points()
    if isinstance(doc, dict) and isinstance(doc.get("locations"), list):
        path = out.new_path()
        for record in doc["locations"]:
            alt = number(record.get("altitude"))
            out.add(e7(record, "latitudeE7", "longitudeE7"), timestamp(record, "timestamp", "timestampMs"),
                    NO_ELEVATION if alt is None else alt, path)
    if isinstance(doc, dict) and isinstance(doc.get("timelineObjects"), list):
        for item in doc["timelineObjects"]:
            if "activitySegment" in item:
                seg = item["activitySegment"]
                duration = seg.get("duration", {})
                start = timestamp(duration, "startTimestamp", "startTimestampMs")
                end = timestamp(duration, "endTimestamp", "endTimestampMs")
                raw = [p for p in seg.get("simplifiedRawPath", {}).get("points", [])
                       if e7(p, "latE7", "lngE7")]
                path = out.new_path()
                if raw:
                    for p in raw:
                        out.add(e7(p, "latE7", "lngE7"), timestamp(p, "timestamp", "timestampMs"),
                                NO_ELEVATION, path)
                else:
                    way = [e7(w, "latE7", "lngE7") for w in seg.get("waypointPath", {}).get("waypoints", [])]
                    way = [w for w in way if w]
                    if way and start and end is not None and end >= start:
                        step = (end - start) / (len(way) - 1) if len(way) > 1 else 0.0
                        for i, w in enumerate(way):
                            out.add(w, start + round(step * i), NO_ELEVATION, path)
            if "placeVisit" in item:
                visit = item["placeVisit"]
                duration = visit.get("duration", {})
                centre = e7(visit, "centerLatE7", "centerLngE7") or e7(visit.get("location", {}),
                                                                      "latitudeE7", "longitudeE7")
                out.visit(centre, timestamp(duration, "startTimestamp", "startTimestampMs"),
                          timestamp(duration, "endTimestamp", "endTimestampMs"))
    if isinstance(doc, dict) and isinstance(doc.get("semanticSegments"), list):
        for seg in doc["semanticSegments"]:
            path = out.new_path()
            for p in seg.get("timelinePath", []):
                out.add(text_position(p.get("point")), ticks(p.get("time")), NO_ELEVATION, path)
            place = seg.get("visit", {}).get("topCandidate", {}).get("placeLocation", {})
            if isinstance(place, dict):
                out.visit(text_position(place.get("latLng")), ticks(seg.get("startTime")),
                          ticks(seg.get("endTime")))
    if isinstance(doc, dict) and isinstance(doc.get("rawSignals"), list):
        path = out.new_path()
        for signal in doc["rawSignals"]:
            position = signal.get("position")
            if isinstance(position, dict):
                alt = number(position.get("altitudeMeters"))
                out.add(text_position(position.get("LatLng")), ticks(position.get("timestamp")),
                        NO_ELEVATION if alt is None else alt, path)
    if isinstance(doc, list):
        for record in doc:
            start, end = ticks(record.get("startTime")), ticks(record.get("endTime"))
            if not start:
                continue
            path = out.new_path()
            timeline = []
            for p in record.get("timelinePath", []):
                position = text_position(p.get("point"))
                try:
                    minutes = float(p.get("durationMinutesOffsetFromStartTime"))
                except (TypeError, ValueError):
                    continue
                if position and 0 <= minutes < 1e7:
                    timeline.append((position, start + round(minutes * 60 * 10**7)))
            for position, time in timeline:
                out.add(position, time, NO_ELEVATION, path)
            place = record.get("visit", {}).get("topCandidate", {}).get("placeLocation")
            out.visit(text_position(place), start, end)
            activity = record.get("activity", {})
            a, b = text_position(activity.get("start")), text_position(activity.get("end"))
            if not timeline and a and b:
                path = out.new_path()
                out.add(a, start, NO_ELEVATION, path)
                out.add(b, end, NO_ELEVATION, path)
    return "".join(out.lines)


if __name__ == "__main__":
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent)
    for name in sorted(folder.glob("*.json")):
        with open(name, encoding="utf-8") as f:
            (folder / (name.name + ".txt")).write_text(read(json.load(f)))
