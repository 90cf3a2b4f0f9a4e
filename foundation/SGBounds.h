#pragma once

// Shapefile geometry: a point (x longitude, y latitude) and a bounding box, in degrees.

struct SGPoint {
    double x = 0; // [deg] longitude
    double y = 0; // [deg] latitude
};

struct SGBounds {
    double xmin = 0; // [deg] west
    double ymin = 0; // [deg] south
    double xmax = 0; // [deg] east
    double ymax = 0; // [deg] north
};
