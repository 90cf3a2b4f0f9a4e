#!/usr/bin/env bash
# Rebuilds the import test corpus (model/tests/data/import): GPSBabel converts each source
# file to GPX 1.0, GPX 1.1 and LOC, and each output gets an expectation sidecar (.expect)
# with the counts an independent reader reports (ogrinfo for GPX, GPSBabel's csv output for
# LOC) and the names with non-ASCII letters among its waypoints.
set -euo pipefail
cd "$(dirname "$0")/../../model/tests/data/import"

# source file, GPSBabel input format, kinds of data to read (w, r, t), filter making
# waypoints for LOC (empty: none needed)
sources=(
    "waypoints.csv unicsv w"
    "drive.nmea nmea t transform,wpt=trk"
    "hike.kml kml wrt"
    "ride.tcx gtrnctr t transform,wpt=trk"
    "trip.geojson geojson wrt"
    "planned.gpx gpx wrt"
)

non_ascii_names() { grep -P '[^\x00-\x7F]' || true; }

gpx_sidecar() {
    local file=$1 summary
    summary=$(ogrinfo -ro -so -al "$file")
    for layer in waypoints routes route_points tracks track_points; do
        count=$(awk -v layer="$layer" '/^Layer name:/ { current = $3 } /^Feature Count:/ && current == layer { print $3 }' <<<"$summary")
        echo "$layer ${count:-0}"
    done
    ogrinfo -ro -al -q "$file" waypoints | sed -n 's/^  name (String) = //p' | non_ascii_names | sed 's/^/name /'
}

loc_sidecar() {
    local file=$1 csv
    csv=$(gpsbabel -i geo -f "$file" -o unicsv -F -)
    echo "waypoints $(tail -n +2 <<<"$csv" | grep -c . || true)"
    printf 'routes 0\nroute_points 0\ntracks 0\ntrack_points 0\n'
    # The name column of GPSBabel's unicsv output.
    python3 -c 'import csv, sys
rows = list(csv.reader(sys.stdin))
column = rows[0].index("Name")
for row in rows[1:]:
    print(row[column])' <<<"$csv" | non_ascii_names | sed 's/^/name /'
}

for entry in "${sources[@]}"; do
    read -r source format kinds filter <<<"$entry"
    base=${source%.*}
    flags=$(sed 's/./-& /g' <<<"$kinds")
    # shellcheck disable=SC2086 # one word per flag
    gpsbabel $flags -i "$format" -f "sources/$source" -o gpx,gpxver=1.0 -F "$base.v10.gpx"
    # shellcheck disable=SC2086
    gpsbabel $flags -i "$format" -f "sources/$source" -o gpx,gpxver=1.1 -F "$base.v11.gpx"
    gpsbabel -i "$format" -f "sources/$source" ${filter:+-x "$filter"} -o geo -F "$base.loc"
    gpx_sidecar "$base.v10.gpx" >"$base.v10.gpx.expect"
    gpx_sidecar "$base.v11.gpx" >"$base.v11.gpx.expect"
    loc_sidecar "$base.loc" >"$base.loc.expect"
done
echo "Corpus written to $(pwd)"
