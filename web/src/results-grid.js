// The results as an ARIA grid over a fixed pool of row elements: only the
// rows in view exist in the page. Focus stays on the grid, which points at
// its active row with aria-activedescendant, so rows can come and go under
// it. Past a few hundred thousand rows the scroll range is scaled, since
// browsers cap an element's height.

const MAX_SCROLL_PX = 8000000;
// The list is as tall as its rows up to this many, and scrolls past them.
const ROWS_IN_VIEW = 15;

export class ResultsGrid {
  constructor(rows, { grid, head, spacer, body }, onTicksChanged) {
    this.rows = rows;
    this.grid = grid;
    this.scroller = grid;
    this.head = head;
    this.spacer = spacer;
    this.body = body;
    this.onTicksChanged = onTicksChanged;
    this.count = 0;
    this.active = 0;
    this.pool = [];
    this.columns = ['Number'];
    this.rowHeight = 0;
    this.scroller.addEventListener('scroll', () => this.render());
    this.grid.addEventListener('keydown', (event) => this.onKey(event));
    this.body.addEventListener('click', (event) => this.onClick(event));
    // The header row has the rows' height, which changes with the width
    // where narrow rows take two lines. Watching it rather than the grid
    // lets the grid's own height follow without a resize loop.
    new ResizeObserver(() => this.layout()).observe(this.head);
    for (let k = 0; k <= ROWS_IN_VIEW; k += 1) {
      this.row(k);
    }
    this.layout();
  }

  // The columns after the tick box: "Number", then "Expiry" and "Code"
  // where the run has them.
  setColumns(names) {
    this.columns = names;
    const headRow = this.head.firstElementChild;
    headRow.replaceChildren(headRow.firstElementChild, ...names.map((name, i) => {
      const cell = document.createElement('span');
      cell.setAttribute('role', 'columnheader');
      cell.className = i === 0 ? 'number-cell' : 'extra-cell';
      cell.textContent = name;
      return cell;
    }));
    this.grid.setAttribute('aria-colcount', String(names.length + 1));
    this.grid.classList.toggle('with-extras', names.length > 1);
    for (const slot of this.pool) {
      this.setCells(slot);
    }
    this.layout();
  }

  setCells(slot) {
    while (slot.cells.length > this.columns.length) {
      slot.cells.pop().remove();
    }
    while (slot.cells.length < this.columns.length) {
      const cell = document.createElement('span');
      cell.setAttribute('role', 'gridcell');
      cell.className = slot.cells.length === 0 ? 'number-cell' : 'extra-cell';
      slot.element.append(cell);
      slot.cells.push(cell);
    }
  }

  layout() {
    this.rowHeight = this.head.firstElementChild.getBoundingClientRect().height || 28;
    this.setCount(this.count);
  }

  // The pool's k-th row element. Rows without a result are hidden, which
  // keeps them out of view, out of the tab order and out of the
  // accessibility tree.
  row(k) {
    const element = document.createElement('div');
    element.className = 'grid-row';
    element.setAttribute('role', 'row');
    element.hidden = true;
    const tickCell = document.createElement('span');
    tickCell.className = 'tick-cell';
    tickCell.setAttribute('role', 'gridcell');
    tickCell.id = `grid-cell-${k}`;
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.tabIndex = -1;
    tickCell.append(box);
    element.append(tickCell);
    this.body.append(element);
    this.pool[k] = { element, box, cells: [], index: -1 };
    this.setCells(this.pool[k]);
  }

  // The height rows have below the header, which stays in view.
  get viewHeight() {
    return this.scroller.clientHeight - this.head.offsetHeight;
  }

  get visibleRows() {
    return Math.max(1, Math.round(this.viewHeight / this.rowHeight));
  }

  get scaled() {
    return this.count * this.rowHeight > MAX_SCROLL_PX;
  }

  setCount(count) {
    this.count = count;
    this.active = Math.min(this.active, Math.max(0, count - 1));
    // A short list is as tall as its rows, so it never scrolls.
    const border = this.grid.offsetHeight - this.grid.clientHeight;
    const height = this.head.offsetHeight + Math.min(count, ROWS_IN_VIEW) * this.rowHeight + border;
    this.grid.style.height = `${height}px`;
    this.spacer.style.height = `${Math.min(count * this.rowHeight, MAX_SCROLL_PX)}px`;
    this.grid.setAttribute('aria-rowcount', String(count + 1));
    this.render();
  }

  firstRow() {
    const top = this.scroller.scrollTop;
    if (!this.scaled) {
      return Math.floor(top / this.rowHeight);
    }
    // A pixel stands for several rows here: where the page itself scrolled,
    // it knows the row it meant.
    if (this.anchor && this.anchor.top === top) {
      return this.anchor.first;
    }
    const range = this.scroller.scrollHeight - this.scroller.clientHeight;
    const share = range > 0 ? Math.min(1, top / range) : 0;
    return Math.round(share * Math.max(0, this.count - this.visibleRows));
  }

  render() {
    const first = Math.min(this.firstRow(), Math.max(0, this.count - 1));
    const top = this.head.offsetHeight + (this.scaled ? this.scroller.scrollTop : first * this.rowHeight);
    // The rows that meet the view, and no row past the last result: a row
    // drawn below the spacer would only lengthen the scroll.
    const end = this.scaled
      ? first + this.visibleRows
      : Math.ceil((this.scroller.scrollTop + this.viewHeight) / this.rowHeight - 0.01);
    const shown = Math.max(0, Math.min(this.count, end) - first);
    this.body.style.transform = `translateY(${top}px)`;
    let activeCell = null;
    this.pool.forEach((slot, k) => {
      const index = first + k;
      if (k >= shown) {
        slot.element.hidden = true;
        slot.index = -1;
        return;
      }
      slot.element.hidden = false;
      slot.index = index;
      slot.element.setAttribute('aria-rowindex', String(index + 2));
      // A text record: the number, a TAB, then expiry and code with a blank between.
      const [number, extras] = this.rows.text(index).split('\t');
      const cells = extras === undefined ? [number] : [number, ...extras.split(' ')];
      slot.cells.forEach((cell, i) => {
        const text = cells[i] ?? '';
        if (cell.textContent !== text) {
          cell.textContent = text;
        }
      });
      slot.box.checked = this.rows.isTicked(index);
      slot.box.setAttribute('aria-label', `Tick row ${index + 1}`);
      slot.element.classList.toggle('active', index === this.active);
      if (index === this.active) {
        activeCell = slot.element.firstChild;
      }
    });
    if (activeCell) {
      this.grid.setAttribute('aria-activedescendant', activeCell.id);
    } else {
      this.grid.removeAttribute('aria-activedescendant');
    }
  }

  // Scrolls so that `row` is in view, and makes it the active row.
  show(row) {
    if (this.count === 0) {
      return;
    }
    this.active = Math.max(0, Math.min(row, this.count - 1));
    const first = this.firstRow();
    const visible = this.visibleRows;
    if (this.active < first || this.active >= first + visible) {
      const wantedFirst = this.active < first ? this.active : this.active - visible + 1;
      if (this.scaled) {
        const range = this.scroller.scrollHeight - this.scroller.clientHeight;
        this.scroller.scrollTop = (wantedFirst / Math.max(1, this.count - visible)) * range;
        this.anchor = { top: this.scroller.scrollTop, first: wantedFirst };
      } else {
        this.scroller.scrollTop = wantedFirst * this.rowHeight;
      }
    }
    this.render();
  }

  toggle(row) {
    this.rows.toggle(row);
    this.render();
    this.onTicksChanged();
  }

  onKey(event) {
    const page = this.visibleRows;
    const moves = {
      ArrowDown: this.active + 1,
      ArrowUp: this.active - 1,
      PageDown: this.active + page,
      PageUp: this.active - page,
      Home: 0,
      End: this.count - 1,
    };
    if (event.key in moves) {
      this.show(moves[event.key]);
      event.preventDefault();
    } else if (event.key === ' ' && this.count > 0) {
      this.toggle(this.active);
      event.preventDefault();
    }
  }

  onClick(event) {
    const element = event.target.closest('.grid-row');
    const slot = this.pool.find((s) => s.element === element);
    if (!slot || slot.index < 0) {
      return;
    }
    this.active = slot.index;
    if (event.target === slot.box) {
      this.toggle(slot.index);
    } else {
      this.render();
    }
    this.grid.focus();
  }
}
