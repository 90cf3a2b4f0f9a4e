#include "devices/CGPSWaypoint.h"

namespace {

struct SymbolPair {
    GPSWaypointSymbol code;
    UInt16 number; // the receivers' symbol number: stored in receivers, never renumber
};

// Our symbols with a counterpart among the receivers' numbers. Where two of ours share a
// number, the first is the one a download gives.
SymbolPair const kSymbolPairs[] = {
    { 'wayp', 18 }, // waypoint dot
    { 'wdot', 18 },
    { 'anch', 0 },
    { 'fish', 7 },
    { 'fuel', 8 },
    { 'home', 10 },
    { 'hous', 10 },
    { 'resi', 10 },
    { 'rstr', 11 },
    { 'abar', 13 },
    { 'skul', 14 },
    { 'wrek', 19 },
    { 'mob!', 21 },
    { 'byam', 22 },
    { 'bybk', 23 },
    { 'bybl', 24 },
    { 'byge', 25 },
    { 'byor', 28 },
    { 'bram', 150 },
    { 'camp', 151 },
    { 'rest', 152 },
    { 'dwtr', 154 },
    { 'faid', 156 },
    { 'info', 157 },
    { 'pkng', 158 },
    { 'arac', 165 },
    { 'arad', 166 },
    { 'arar', 167 },
    { 'acar', 170 },
    { 'lodg', 173 },
    { 'hotl', 173 },
    { 'thed', 175 },
    { 'tstp', 176 },
    { 'dock', 190 },
    { 'golf', 8197 },
    { 'csml', 8198 },
    { 'cmed', 8199 },
    { 'clrg', 8200 },
    { 'food', 8208 },
    { 'parv', 8215 },
    { 'skoo', 8216 },
    { 'tboo', 8227 },
    { 'brge', 8233 },
    { 'chur', 8236 },
    { 'rlxi', 8238 },
    { 'ford', 8238 },
    { 'bech', 8244 },
    { 'summ', 8246 },
    { 'geoc', 8255 },
    { 'geof', 8256 },
    { 'fblu', 8284 },
    { 'fgre', 8285 },
    { 'fred', 8286 },
    { 'pblu', 8287 },
    { 'pgre', 8288 },
    { 'pred', 8289 },
    { 'bblk', 8290 },
    { 'gblk', 8291 },
    { 'rblk', 8292 },
    { 'bike', 8293 },
    { 'airp', 16384 },
};

} // namespace

bool CGPSWaypoint::operator==(CGPSWaypoint const& other) const
{
    return name == other.name && comment == other.comment && position == other.position
        && altitudeKnown == other.altitudeKnown && proximity == other.proximity && time == other.time
        && symbol == other.symbol && colour == other.colour && display == other.display;
}

GPSWaypointSymbol CGPSWaypoint::GetSymbolCode(UInt16 number)
{
    for (SymbolPair const& pair : kSymbolPairs)
        if (pair.number == number)
            return pair.code;
    return 'wayp';
}

UInt16 CGPSWaypoint::GetSymbolNumber(GPSWaypointSymbol code)
{
    for (SymbolPair const& pair : kSymbolPairs)
        if (pair.code == code)
            return pair.number;
    return kSymbolDot;
}
