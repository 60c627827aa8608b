// The results as an ARIA grid over a fixed pool of row elements: only the
// rows in view exist in the page. Focus stays on the grid, which points at
// its active row with aria-activedescendant, so rows can come and go under
// it. Past a few hundred thousand rows the scroll range is scaled, since
// browsers cap an element's height.

const MAX_SCROLL_PX = 8000000;

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
    this.rowHeight = 0;
    this.scroller.addEventListener('scroll', () => this.render());
    this.grid.addEventListener('keydown', (event) => this.onKey(event));
    this.body.addEventListener('click', (event) => this.onClick(event));
    new ResizeObserver(() => this.layout()).observe(this.scroller);
    this.layout();
  }

  layout() {
    // The header row has the rows' height, and is always shown.
    this.rowHeight = this.head.firstElementChild.getBoundingClientRect().height || 28;
    const wanted = Math.ceil(this.viewHeight / this.rowHeight) + 1;
    while (this.pool.length < wanted) {
      this.row(this.pool.length);
    }
    this.setCount(this.count);
  }

  // The pool's k-th row element, made on first use.
  row(k) {
    if (!this.pool[k]) {
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
      const text = document.createElement('span');
      text.setAttribute('role', 'gridcell');
      element.append(tickCell, text);
      this.body.append(element);
      this.pool[k] = { element, box, text, index: -1 };
    }
    return this.pool[k];
  }

  // The height rows have below the header, which stays in view.
  get viewHeight() {
    return this.scroller.clientHeight - this.head.offsetHeight;
  }

  get visibleRows() {
    return Math.max(1, Math.floor(this.viewHeight / this.rowHeight));
  }

  get scaled() {
    return this.count * this.rowHeight > MAX_SCROLL_PX;
  }

  setCount(count) {
    this.count = count;
    this.active = Math.min(this.active, Math.max(0, count - 1));
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
    this.body.style.transform = `translateY(${top}px)`;
    let activeCell = null;
    this.pool.forEach((slot, k) => {
      const index = first + k;
      if (index >= this.count) {
        slot.element.hidden = true;
        slot.index = -1;
        return;
      }
      slot.element.hidden = false;
      slot.index = index;
      slot.element.setAttribute('aria-rowindex', String(index + 2));
      const text = this.rows.text(index);
      if (slot.text.textContent !== text) {
        slot.text.textContent = text;
      }
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
