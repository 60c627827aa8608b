// The "Check numbers" pane: pasted text or a file goes to the engine's
// check reader in pieces; its verdicts and reports are shown as they come.

import { saveParts } from './downloads.js';

const PIECE = 1 << 20;
// Lines past this many stay out of the page; the download has them all.
const SHOWN_LINES = 10000;

const decoder = new TextDecoder();

// Whether some number that starts with `digits` lies in `range`, whose
// first and last prefixes have one length.
function rangeAllows(range, digits) {
  const k = Math.min(digits.length, range.first.length);
  const head = digits.slice(0, k);
  return range.first.slice(0, k) <= head && head <= range.last.slice(0, k);
}

function listed(words) {
  return words.length < 2 ? words.join('') : `${words.slice(0, -1).join(', ')} or ${words.at(-1)}`;
}

// What one number typed so far is, as a payment form tells it: valid, too
// short so far (more digits could make it valid) or impossible. `verdict`
// is the engine's check line for it.
export function liveVerdict(verdict, brands) {
  if (verdict.startsWith('\u0001')) {
    return { state: 'impossible', text: 'Not a card number: only digits, blanks and dashes make one' };
  }
  const [digits, word, ...rest] = verdict.trim().split(' ');
  if (word === 'valid') {
    return { state: 'valid', text: `Complete and valid: ${rest.join(' ').split('|').join(' or ')}` };
  }
  const longer = brands.map((brand) => {
    const lengths = new Set();
    for (const range of brand.ranges) {
      if (rangeAllows(range, digits)) {
        range.lengths.filter((l) => l > digits.length).forEach((l) => lengths.add(l));
      }
    }
    return { name: brand.name, lengths: [...lengths].sort((a, b) => a - b) };
  }).filter((b) => b.lengths.length > 0);
  if (longer.length > 0) {
    const could = longer.slice(0, 4).map((b) => `${b.name} (${listed(b.lengths.map(String))} digits)`);
    // A wrong check digit at a length some network issues is said, so a
    // typo is not taken for a number still being typed.
    const now = rest[0] === 'luhn' ? `the check digit is wrong at ${digits.length} digits` : `${digits.length} digits`;
    return { state: 'short', text: `Too short so far (${now}): could become ${listed(could)}` };
  }
  if (digits.length > 19) {
    return { state: 'impossible', text: `Impossible: ${digits.length} digits, more than any card has (19)` };
  }
  const reason = rest[0] === 'luhn' ? 'the check digit is wrong' : (rest.length > 1
    ? `no network issues ${digits.length} digits here` : 'no network\'s numbers start like this');
  const networks = rest.length > 1 ? ` (${rest.slice(1).join(' ').split('|').join(' or ')})` : '';
  return { state: 'impossible', text: `Impossible: ${reason}${networks}` };
}

// `month()` is the current month, as months since year 0.
export function setUpCheckPane(client, brands, month) {
  const form = document.getElementById('check-form');
  const input = document.getElementById('check-input');
  const fileInput = document.getElementById('check-file');
  const output = document.getElementById('check-output');
  const status = document.getElementById('check-status');
  const start = document.getElementById('check-start');
  const download = document.getElementById('check-download');
  const live = document.getElementById('check-live');
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
    delete output.dataset.status;
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

  // One number in the box gets its verdict as it is typed; the engine is
  // asked for the latest text only.
  let asked = 0;
  async function typed() {
    const lines = input.value.split('\n').filter((line) => line.trim() !== '');
    const ask = (asked += 1);
    if (lines.length !== 1) {
      live.textContent = lines.length > 1 ? `${lines.length} lines: press Check for their verdicts` : '';
      delete live.dataset.state;
      return;
    }
    const answer = await client.ask({ type: 'judge', line: lines[0], month: month() });
    if (ask === asked) {
      const { state, text } = liveVerdict(answer.verdict, brands);
      live.dataset.state = state;
      live.textContent = text;
    }
  }
  input.addEventListener('input', typed);

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
