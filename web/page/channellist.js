// The 300 channels as one list box: a single Tab stop, the arrow keys (and
// Page Up/Down, Home, End, or the channel's number typed) move the
// selection, Enter or a double click recalls it. A click or a tap only
// selects: retuning takes a second act, Recall, so a thumb scrolling the
// list on a phone never moves the radio. The selection is this page's own;
// what the radio is tuned to is shown by the frequency display.
const PAGE_ROWS = 10;
const TYPED_NUMBER_MS = 1000;

function make(tag, props = {}) {
  return Object.assign(document.createElement(tag), props);
}

// list: the <ul> the layout made, in its place; recall(row) asks for a
// recall. Returns show(lines), which fills the list and keeps the
// selection; allow(yes), for whether this operator may recall; and
// showScan(running).
export function attachChannelList(list, recall) {
  list.setAttribute('role', 'listbox');
  list.tabIndex = 0;
  const button = make('button', { type: 'button', id: 'recall', textContent: 'Recall', className: 'wide' });
  button.setAttribute('aria-label', 'Recall the selected channel');
  const scanning = make('p', { id: 'scanning', className: 'scanning wide' });
  scanning.setAttribute('role', 'status');
  list.after(button);

  let selected = -1;
  let allowed = false;
  let typed = '';
  let typedAt = 0;

  const rows = () => list.children;

  function select(index) {
    const count = rows().length;
    if (count === 0) return;
    const next = Math.max(0, Math.min(count - 1, index));
    if (selected >= 0 && selected < count) rows()[selected].setAttribute('aria-selected', 'false');
    selected = next;
    const row = rows()[selected];
    row.setAttribute('aria-selected', 'true');
    list.setAttribute('aria-activedescendant', row.id);
    row.scrollIntoView({ block: 'nearest' });
    button.disabled = !allowed;
  }

  function recallSelected() {
    if (selected >= 0 && selected < rows().length && allowed) recall(selected);
  }

  // Digits typed within a second name a channel: "1", "2" goes to 12.
  function jumpToNumber(digit) {
    const now = Date.now();
    typed = now - typedAt < TYPED_NUMBER_MS ? typed + digit : digit;
    typedAt = now;
    select(Number(typed));
  }

  const moves = {
    ArrowDown: () => select(selected + 1),
    ArrowUp: () => select(selected - 1),
    PageDown: () => select(selected + PAGE_ROWS),
    PageUp: () => select(selected - PAGE_ROWS),
    Home: () => select(0),
    End: () => select(rows().length - 1),
    Enter: recallSelected,
  };

  list.addEventListener('keydown', (event) => {
    const move = moves[event.key];
    if (move) move();
    else if (/^[0-9]$/.test(event.key)) jumpToNumber(event.key);
    else return;
    event.preventDefault();
  });
  list.addEventListener('focus', () => {
    if (selected < 0) select(0);
  });
  const rowOf = (event) => [...rows()].indexOf(event.target.closest('[role=option]'));
  list.addEventListener('click', (event) => {
    const index = rowOf(event);
    if (index >= 0) select(index);
  });
  list.addEventListener('dblclick', (event) => {
    if (rowOf(event) >= 0) recallSelected();
  });
  button.addEventListener('click', recallSelected);
  button.disabled = true;

  function show(lines) {
    const items = lines.map((line, index) => {
      const row = make('li', { id: `channel-${index}`, textContent: line, className: 'row' });
      row.setAttribute('role', 'option');
      row.setAttribute('aria-selected', String(index === selected));
      return row;
    });
    list.replaceChildren(...items);
    if (selected >= lines.length) selected = -1;
    if (selected >= 0) list.setAttribute('aria-activedescendant', `channel-${selected}`);
    button.disabled = selected < 0 || !allowed;
  }

  function allow(yes) {
    allowed = yes;
    button.disabled = selected < 0 || !allowed;
  }

  // While the scan runs, the page says so, last in the list's group, where
  // the line has its room kept and moves nothing; the channel it is on is
  // the radio's frequency, shown above.
  function showScan(running) {
    if (list.parentElement && list.parentElement.lastElementChild !== scanning) list.parentElement.append(scanning);
    scanning.textContent = running ? 'Channel scan running' : '';
  }

  return { show, allow, showScan };
}
