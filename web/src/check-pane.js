// The "Check numbers" pane: pasted text or a file goes to the engine's
// check reader in pieces; its verdicts and reports are shown as they come.

import { saveParts } from './downloads.js';

const PIECE = 1 << 20;
// Lines past this many stay out of the page; the download has them all.
const SHOWN_LINES = 10000;

const decoder = new TextDecoder();

// `month()` is the current month, as months since year 0.
export function setUpCheckPane(client, month) {
  const form = document.getElementById('check-form');
  const input = document.getElementById('check-input');
  const fileInput = document.getElementById('check-file');
  const output = document.getElementById('check-output');
  const status = document.getElementById('check-status');
  const start = document.getElementById('check-start');
  const download = document.getElementById('check-download');
  let verdicts = [];
  let busy = false;

  // Shows a piece of the engine's output: verdict lines, and reports marked
  // with a leading \u0001. Returns the last report in it.
  let shown = 0;
  let lastReport = '';
  function show(bytes) {
    const fragment = document.createDocumentFragment();
    const kept = [];
    for (const line of decoder.decode(bytes).split('\n')) {
      if (line === '') {
        continue;
      }
      const report = line.startsWith('\u0001');
      const text = `${report ? line.slice(1) : line}\n`;
      if (report) {
        lastReport = text.trim();
      } else {
        kept.push(text);
      }
      if (shown < SHOWN_LINES) {
        if (report) {
          const span = document.createElement('span');
          span.className = 'report';
          span.textContent = text;
          fragment.append(span);
        } else {
          fragment.append(text);
        }
      }
      shown += 1;
    }
    if (kept.length > 0) {
      verdicts.push(kept.join(''));
    }
    output.append(fragment);
  }

  // Reads `source`, which hands its pieces to `feed`, through the engine;
  // reports call it `name`.
  async function check(name, source) {
    if (busy) {
      return;
    }
    busy = true;
    start.disabled = true;
    download.disabled = true;
    output.textContent = '';
    status.textContent = 'Checking…';
    verdicts = [];
    shown = 0;
    lastReport = '';
    client.start({ type: 'check', phase: 'begin', name, month: month() }, () => true);
    await source((bytes) => {
      client.start({ type: 'check', phase: 'feed', bytes, transfer: [bytes] }, (data) => {
        show(data.bytes);
        return true;
      });
    });
    const end = await client.ask({ type: 'check', phase: 'end' });
    show(end.bytes);
    const hidden = shown > SHOWN_LINES ? ` The first ${SHOWN_LINES} lines are shown; download the verdicts for all.` : '';
    status.textContent = `${lastReport}.${hidden}`;
    output.dataset.status = String(end.status);
    busy = false;
    start.disabled = false;
    download.disabled = verdicts.length === 0;
  }

  const fromText = (text) => async (feed) => {
    const bytes = new TextEncoder().encode(text);
    for (let at = 0; at < bytes.length; at += PIECE) {
      feed(bytes.slice(at, at + PIECE).buffer);
    }
  };
  const fromFile = (file) => async (feed) => {
    for (let at = 0; at < file.size; at += PIECE) {
      feed(await file.slice(at, at + PIECE).arrayBuffer());
    }
  };

  form.addEventListener('submit', (event) => {
    event.preventDefault();
    check('(pasted)', fromText(input.value));
  });
  fileInput.addEventListener('change', () => {
    if (fileInput.files.length > 0) {
      check(fileInput.files[0].name, fromFile(fileInput.files[0]));
    }
  });
  input.addEventListener('dragover', (event) => {
    event.preventDefault();
    input.classList.add('dropping');
  });
  input.addEventListener('dragleave', () => input.classList.remove('dropping'));
  input.addEventListener('drop', (event) => {
    input.classList.remove('dropping');
    if (event.dataTransfer.files.length > 0) {
      event.preventDefault();
      check(event.dataTransfer.files[0].name, fromFile(event.dataTransfer.files[0]));
    }
  });
  download.addEventListener('click', () => saveParts('verdicts', verdicts));
}
