// The list's rows as the engine wrote them: one byte array per block of the
// run, every row of a run the same width, so row i is found by arithmetic
// and ten million rows take no more than their bytes. Ticks are kept as a
// bit per row, set for an unticked row, so a new row is ticked.

const decoder = new TextDecoder('latin1');

export class Rows {
  constructor() {
    this.clear();
  }

  clear() {
    this.blocks = [];
    this.blockRows = 0;
    this.width = 0; // bytes per row, line end included
    this.count = 0;
    this.unticked = new Uint8Array(0);
    this.untickedCount = 0;
  }

  // Adds a block of rows; returns how many it held.
  add(bytes) {
    if (bytes.length === 0) {
      return 0;
    }
    if (this.width === 0) {
      this.width = bytes.indexOf(10) + 1;
    }
    const rows = bytes.length / this.width;
    if (this.blocks.length === 0) {
      this.blockRows = rows;
    }
    this.blocks.push(bytes);
    this.count += rows;
    const needed = (this.count + 7) >> 3;
    if (needed > this.unticked.length) {
      const grown = new Uint8Array(Math.max(needed, this.unticked.length * 2));
      grown.set(this.unticked);
      this.unticked = grown;
    }
    return rows;
  }

  text(row) {
    const block = this.blocks[Math.floor(row / this.blockRows)];
    const start = (row % this.blockRows) * this.width;
    return decoder.decode(block.subarray(start, start + this.width - 1));
  }

  isTicked(row) {
    return (this.unticked[row >> 3] & (1 << (row & 7))) === 0;
  }

  toggle(row) {
    this.unticked[row >> 3] ^= 1 << (row & 7);
    this.untickedCount += this.isTicked(row) ? -1 : 1;
  }

  tickAll(ticked) {
    this.unticked.fill(ticked ? 0 : 0xff);
    if (!ticked && this.count % 8 !== 0) {
      // Bits past the last row stay clear, so a later count stays right.
      this.unticked[this.count >> 3] = (1 << (this.count % 8)) - 1;
      this.unticked.fill(0, (this.count >> 3) + 1);
    } else if (!ticked) {
      this.unticked.fill(0, this.count >> 3);
    }
    this.untickedCount = ticked ? 0 : this.count;
  }

  get tickedCount() {
    return this.count - this.untickedCount;
  }

  // The unticked bits of the rows there are, for an export.
  untickedBits() {
    return this.unticked.slice(0, (this.count + 7) >> 3);
  }
}
