// The station checks on the live page: the raised alarms in a red bar above the window, with
// their times, and the window dimmed while the receiver is lost, with the time it was lost
// (this browser's local time). It asks /api/state every 2 s, beside the state feed.
'use strict';

(() => {
  const kPollMs = 2000;
  const token = new URLSearchParams(location.search).get('token');
  const url = token ? `api/state?token=${encodeURIComponent(token)}` : 'api/state';
  const clock = (time) => new Date(time).toLocaleTimeString([], { hour12: false });
  let lostSince = null;

  function showAlarms(checks) {
    const raised = Object.entries(checks).filter(([, check]) => check.alarm);
    const bar = document.getElementById('alarms');
    bar.replaceChildren(...raised.map(([name, check]) => {
      const item = document.createElement('li');
      item.textContent = `${name} failing since ${clock(check.since)}: expected ${check.expected}, ` +
        `received ${check.received}`;
      return item;
    }));
    bar.hidden = raised.length === 0;
  }

  // A monitor without a receiver to watch (no COMport) dims nothing.
  function showReceiver(state) {
    const lost = state.receiver.device !== '' && !state.receiver.connected;
    if (!lost) {
      lostSince = null;
    } else if (lostSince === null) {
      const check = state.checks?.receiver;
      lostSince = check?.judged === 'failing' ? check.since : new Date().toISOString();
    }
    document.getElementById('frame').classList.toggle('lost', lost);
    const note = document.getElementById('lost');
    note.hidden = !lost;
    if (lost) note.textContent = `receiver lost since ${clock(lostSince)}`;
  }

  async function poll() {
    try {
      const answer = await fetch(url, { cache: 'no-store' });
      if (answer.ok) {
        const state = await answer.json();
        showAlarms(state.checks ?? {});
        showReceiver(state);
      }
    } finally {
      setTimeout(poll, kPollMs);
    }
  }
  poll();
})();
