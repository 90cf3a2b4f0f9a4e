#!/usr/bin/env bash
# Writes the seed corpora of the import fuzz entries (model/tests/fuzz/corpus-gpx, corpus-loc):
# small files of the import corpus and small damaged or hostile variants.
set -euo pipefail
cd "$(dirname "$0")/../../model/tests"
gpx=fuzz/corpus-gpx
loc=fuzz/corpus-loc
mkdir -p "$gpx" "$loc"
cp data/import/planned.v11.gpx "$gpx/planned-11"
cp data/import/planned.v10.gpx "$gpx/planned-10"
cp data/import/waypoints.v11.gpx "$gpx/waypoints-11"
head -c 1500 data/import/drive.v10.gpx >"$gpx/drive-truncated"
cp data/import/waypoints.loc "$loc/waypoints"
cp data/import/hike.loc "$loc/hike"
head -c 300 data/import/waypoints.loc >"$loc/truncated"

printf '%s' '<gpx xmlns="http://www.topografix.com/GPX/1/1"><trk><name>t</name><trkseg><trkpt lat="1" lon="2"><ele>3</ele><time>2021-06-01T00:00:00Z</time></trkpt><trkpt lat="1.1" lon="2"/></trkseg><trkseg><trkpt lat="1.2" lon="2"/></trkseg></trk><trk><trkseg><trkpt lat="5" lon="5"/><trkpt lat="6" lon="6"/></trkseg></trk></gpx>' >"$gpx/two-tracks"
printf '%s' '<g:gpx xmlns:g="http://www.topografix.com/GPX/1/0"><g:rte><g:rtept lat="1" lon="1"><g:extensions><r lat="3" lon="3"/></g:extensions></g:rtept><g:rtept lat="2" lon="2"/></g:rte></g:gpx>' >"$gpx/prefixed-route"
printf '%s' '<!DOCTYPE gpx [<!ENTITY a "aaaa"><!ENTITY b "&a;&a;&a;">]><gpx><wpt lat="1" lon="2"><name>&b;</name></wpt></gpx>' >"$gpx/entities"
printf '%s' '<gpx><wpt lat="91" lon="2"/><wpt lat="nan" lon="1e999"/></gpx>' >"$gpx/bad-values"
printf '%s' '<gpx><trk><trkseg><!-- <trkpt lat="1" lon="1"/> --><trkpt lat="2" lon="2"/><![CDATA[<trkpt lat="3" lon="3"/>]]><trkpt lat="4" lon="4"/></trkseg></trk></gpx>' >"$gpx/markup-in-segment"
printf '<loc><waypoint><name id="GC\x01"><![CDATA[a\x1fb]]></name><coord lat="1" lon="2"/><type>Geocache</type><link>x</link></waypoint></loc>' >"$loc/controls"
printf '%s' '<loc><waypoint><name>n</name></waypoint></loc>' >"$loc/no-coordinate"
echo "Seeds written to $(pwd)/fuzz"
