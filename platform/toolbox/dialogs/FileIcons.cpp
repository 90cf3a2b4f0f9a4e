#include "toolbox/dialogs/FileIcons.h"

#include "toolbox/controls/ControlTheme.h"

#include <algorithm>

namespace tw::toolbox::dialogs {

namespace {

    // Flat shapes with a darker outline, as the waypoint symbols are drawn.
    constexpr double kFolderBack[3] = { 0.26, 0.53, 0.84 };
    constexpr double kFolderFront[3] = { 0.45, 0.70, 0.96 };
    constexpr double kFolderLine[3] = { 0.16, 0.38, 0.66 };
    constexpr double kDusk[3] = { 0.11, 0.23, 0.33 }; // the splash picture's sky
    constexpr double kContour[3] = { 0.55, 0.80, 0.76 };

    void DrawFolder(CGContextRef c)
    {
        CGContextSetRGBStrokeColor(c, kFolderLine[0], kFolderLine[1], kFolderLine[2], 1);
        // The back with its tab.
        CGContextBeginPath(c);
        CGContextMoveToPoint(c, 1.5, 13.5);
        CGContextAddLineToPoint(c, 1.5, 2.5);
        CGContextAddLineToPoint(c, 6, 2.5);
        CGContextAddLineToPoint(c, 7.5, 4);
        CGContextAddLineToPoint(c, 14.5, 4);
        CGContextAddLineToPoint(c, 14.5, 13.5);
        CGContextClosePath(c);
        CGContextSetRGBFillColor(c, kFolderBack[0], kFolderBack[1], kFolderBack[2], 1);
        CGContextDrawPath(c, kCGPathFillStroke);
        // The front flap, a little lower than the back.
        controls::ControlTheme::RoundedRectPath(c, CGRectMake(0.5, 6, 15, 8.5), 1);
        CGContextSetRGBFillColor(c, kFolderFront[0], kFolderFront[1], kFolderFront[2], 1);
        CGContextDrawPath(c, kCGPathFillStroke);
    }

    // A sheet with its top right corner folded down.
    void DrawPage(CGContextRef c)
    {
        CGContextBeginPath(c);
        CGContextMoveToPoint(c, 2.5, 0.5);
        CGContextAddLineToPoint(c, 9.5, 0.5);
        CGContextAddLineToPoint(c, 13.5, 4.5);
        CGContextAddLineToPoint(c, 13.5, 15.5);
        CGContextAddLineToPoint(c, 2.5, 15.5);
        CGContextClosePath(c);
        CGContextSetGrayFillColor(c, 1, 1);
        CGContextSetGrayStrokeColor(c, 0.5, 1);
        CGContextDrawPath(c, kCGPathFillStroke);
        CGContextBeginPath(c);
        CGContextMoveToPoint(c, 9.5, 0.5);
        CGContextAddLineToPoint(c, 9.5, 4.5);
        CGContextAddLineToPoint(c, 13.5, 4.5);
        CGContextClosePath(c);
        CGContextSetGrayFillColor(c, 0.86, 1);
        CGContextDrawPath(c, kCGPathFillStroke);
    }

    void DrawFile(CGContextRef c)
    {
        DrawPage(c);
        CGContextSetGrayFillColor(c, 0.68, 1);
        for (CGFloat y : { 7.0, 9.5, 12.0 })
            CGContextFillRect(c, CGRectMake(4.5, y, y == 12.0 ? 5 : 7, 1));
    }

    // Our documents: the page carries a small map of contour lines round a waypoint.
    void DrawDocument(CGContextRef c)
    {
        DrawPage(c);
        controls::ControlTheme::RoundedRectPath(c, CGRectMake(4, 6, 8, 8), 1.5);
        CGContextSetRGBFillColor(c, kDusk[0], kDusk[1], kDusk[2], 1);
        CGContextFillPath(c);
        CGContextSetRGBStrokeColor(c, kContour[0], kContour[1], kContour[2], 1);
        CGContextSetLineWidth(c, 0.8);
        CGContextStrokeEllipseInRect(c, CGRectMake(5.2, 7.4, 5.6, 5.2));
        CGContextStrokeEllipseInRect(c, CGRectMake(6.8, 8.9, 2.6, 2.3));
        CGContextSetRGBFillColor(c, 0.90, 0.22, 0.16, 1);
        CGContextFillEllipseInRect(c, CGRectMake(7.3, 9.2, 1.6, 1.6));
    }

} // namespace

void DrawFileIcon(CGContextRef c, CGRect box, FileIcon icon)
{
    CGContextSaveGState(c);
    CGContextTranslateCTM(c, box.origin.x, box.origin.y);
    CGFloat const scale = std::min(box.size.width, box.size.height) / kFileIconSize;
    CGContextScaleCTM(c, scale, scale);
    CGContextSetLineWidth(c, 1);
    switch (icon) {
    case FileIcon::Folder:
        DrawFolder(c);
        break;
    case FileIcon::Document:
        DrawDocument(c);
        break;
    case FileIcon::File:
        DrawFile(c);
        break;
    }
    CGContextRestoreGState(c);
}

} // namespace tw::toolbox::dialogs
