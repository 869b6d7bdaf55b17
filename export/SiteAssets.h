#pragma once

#include <QByteArray>

// The stylesheet and the script every page of a published catalog shares.
class SiteAssets {
public:
    static QByteArray Stylesheet();
    // Filters the index's cards by the search box and the chips over the
    // global VELMORA_INDEX; without it (or without script) the page stays
    // the plain listing.
    static QByteArray Script();
};
