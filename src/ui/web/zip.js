"use strict";
// A zip archive of files stored as they are: the CSV files of one run as one download.
const crcTable = Uint32Array.from({length: 256}, (_, n) => {
  for (let k = 0; k < 8; ++k) n = n & 1 ? 0xEDB88320 ^ (n >>> 1) : n >>> 1;
  return n >>> 0;
});

// The CRC-32 of what came before (crc) and bytes, so that a file's is worked out a
// piece at a time, as the pieces come.
function crc32(crc, bytes) {
  crc = ~crc;
  for (let i = 0; i < bytes.length; ++i) crc = crcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >>> 8);
  return ~crc >>> 0;
}

// Little-endian fields of 2 or 4 bytes, as [value, size] pairs.
function fields(...values) {
  const bytes = new DataView(new ArrayBuffer(values.reduce((sum, [, size]) => sum + size, 0)));
  let at = 0;
  for (const [value, size] of values) {
    size === 2 ? bytes.setUint16(at, value, true) : bytes.setUint32(at, value, true);
    at += size;
  }
  return new Uint8Array(bytes.buffer);
}

// files: [name, {parts: [Blob...], size, crc}] pairs. Names are UTF-8 (flag 0x0800), dated
// 1 January 1980.
function zip(files) {
  const local = [], central = [];
  let offset = 0;
  for (const [name, {parts, size, crc}] of files) {
    const nameBytes = new TextEncoder().encode(name);
    const common = [[20, 2], [0x0800, 2], [0, 2], [0, 2], [0x21, 2], [crc, 4], [size, 4], [size, 4],
                    [nameBytes.length, 2], [0, 2]];
    local.push(fields([0x04034b50, 4], ...common), nameBytes, ...parts);
    central.push(fields([0x02014b50, 4], [20, 2], ...common, [0, 2], [0, 2], [0, 2], [0, 4], [offset, 4]), nameBytes);
    offset += 30 + nameBytes.length + size;
  }
  const centralSize = central.reduce((sum, part) => sum + part.length, 0);
  const end = fields([0x06054b50, 4], [0, 2], [0, 2], [files.length, 2], [files.length, 2], [centralSize, 4],
                     [offset, 4], [0, 2]);
  return new Blob([...local, ...central, end], {type: "application/zip"});
}
