// Makes assets/world_map.bmp, the world map of the genre editor: Natural Earth
// 1:110m land, projected equirectangularly onto 355 x 184 pixels (longitude
// -180..180 to x 0..355, latitude 90..-90 to y 0..184), light blue land on
// white, written as a 24-bit bottom-up BMP file.
//
// The data come from the npm packages world-atlas (land-110m.json, TopoJSON)
// and topojson-client, installed in a scratch folder outside the repository
// and looked up from the current folder. To rerun:
//
//   mkdir -p /tmp/mapgen && cd /tmp/mapgen
//   npm install world-atlas topojson-client
//   node /path/to/velmora/scripts/make-world-map.mjs /path/to/velmora/assets/world_map.bmp

import {writeFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {join} from 'node:path';

const Width = 355;
const Height = 184;
const Land = [ 170, 204, 238 ];
const Water = [ 255, 255, 255 ];

const require = createRequire(join(process.cwd(), 'make-world-map.cjs'));
const topology = require('world-atlas/land-110m.json');
const {feature} = require('topojson-client');

function toPixelX(longitude) { return ((longitude + 180) * Width) / 360; }

function toPixelY(latitude) { return ((90 - latitude) * Height) / 180; }

// The ring with its longitudes made continuous: a step of more than half the
// world crosses the antimeridian, so the rest of the ring is shifted by a
// whole turn. A ring that goes once around a pole (Antarctica) ends a whole
// turn from where it began; it is closed along that pole's latitude.
function unwrapRing(ring) {
    const points = [];
    let shift = 0;
    for (let i = 0; i < ring.length; i++) {
        const [longitude, latitude] = ring[i];
        if (i > 0) {
            const step = longitude + shift - points[i - 1][0];
            if (step > 180)
                shift -= 360;
            else if (step < -180)
                shift += 360;
        }
        points.push([ longitude + shift, latitude ]);
    }
    const first = points[0];
    const last = points[points.length - 1];
    if (Math.abs(last[0] - first[0]) > 180) {
        const mean = points.reduce((sum, p) => sum + p[1], 0) / points.length;
        const pole = mean < 0 ? -90 : 90;
        points.push([ last[0], pole ], [ first[0], pole ]);
    }
    return points;
}

// Edges of every ring in pixel coordinates, with copies one turn to the left
// and right so that parts beyond the antimeridian land on the other side.
function collectEdges(rings) {
    const edges = [];
    for (const ring of rings) {
        const points = unwrapRing(ring);
        for (const offset of [-360, 0, 360]) {
            for (let i = 0; i < points.length; i++) {
                const a = points[i];
                const b = points[(i + 1) % points.length];
                edges.push([
                    toPixelX(a[0] + offset),
                    toPixelY(a[1]),
                    toPixelX(b[0] + offset),
                    toPixelY(b[1]),
                ]);
            }
        }
    }
    return edges;
}

// Even-odd scanline fill sampled at pixel centres: the land polygons do not
// overlap, so every crossing toggles between land and water.
function rasterise(edges) {
    const land = new Uint8Array(Width * Height);
    for (let y = 0; y < Height; y++) {
        const centre = y + 0.5;
        const crossings = [];
        for (const [x1, y1, x2, y2] of edges) {
            if (y1 <= centre === y2 <= centre)
                continue;
            crossings.push(x1 + ((centre - y1) * (x2 - x1)) / (y2 - y1));
        }
        crossings.sort((a, b) => a - b);
        for (let i = 0; i + 1 < crossings.length; i += 2) {
            const from = Math.max(0, Math.ceil(crossings[i] - 0.5));
            const to = Math.min(Width - 1, Math.floor(crossings[i + 1] - 0.5));
            for (let x = from; x <= to; x++)
                land[y * Width + x] = 1;
        }
    }
    return land;
}

// A 24-bit BITMAPINFOHEADER file: rows bottom-up, blue-green-red, each row
// padded to a multiple of 4 bytes.
function bmpBytes(land) {
    const rowSize = Math.ceil((Width * 3) / 4) * 4;
    const imageSize = rowSize * Height;
    const bytes = Buffer.alloc(54 + imageSize);
    bytes.write('BM', 0, 'ascii');
    bytes.writeUInt32LE(bytes.length, 2);
    bytes.writeUInt32LE(54, 10);
    bytes.writeUInt32LE(40, 14);
    bytes.writeInt32LE(Width, 18);
    bytes.writeInt32LE(Height, 22);
    bytes.writeUInt16LE(1, 26);
    bytes.writeUInt16LE(24, 28);
    bytes.writeUInt32LE(imageSize, 34);
    bytes.writeInt32LE(2835, 38);
    bytes.writeInt32LE(2835, 42);
    for (let y = 0; y < Height; y++) {
        const row = 54 + (Height - 1 - y) * rowSize;
        for (let x = 0; x < Width; x++) {
            const [red, green, blue] = land[y * Width + x] ? Land : Water;
            bytes[row + x * 3] = blue;
            bytes[row + x * 3 + 1] = green;
            bytes[row + x * 3 + 2] = red;
        }
    }
    return bytes;
}

const output = process.argv[2];
if (!output) {
    console.error('usage: node make-world-map.mjs OUTPUT.bmp');
    process.exit(2);
}
const rings = [];
for (const item of feature(topology, topology.objects.land).features) {
    const geometry = item.geometry;
    const polygons = geometry.type === 'Polygon' ? [ geometry.coordinates ] : geometry.coordinates;
    for (const polygon of polygons)
        rings.push(...polygon);
}
writeFileSync(output, bmpBytes(rasterise(collectEdges(rings))));
console.log(`${output}: ${Width} x ${Height}, ${rings.length} rings`);
