'use strict';
// The page's "RDS details" panel: the station's decoded facts as the "station" object of
// /ws/state gives them (AF, country, language, programme item, PTYN, long PS, the item
// now playing, the open data applications, the other networks, TMC, the clock).

const detailsRows = [
  ['af', 'AF'],
  ['country', 'Country and ECC'],
  ['language', 'Language'],
  ['pin', 'Programme item'],
  ['ptyn', 'PTYN'],
  ['long-ps', 'Long PS'],
  ['nowplaying', 'Now playing'],
  ['oda', 'Open data applications'],
  ['tmc', 'TMC'],
  ['clock', 'Station clock'],
];
const none = '–';
const two = (n) => String(n).padStart(2, '0');
const mhz = (khz) => (khz >= 87500 ? (khz / 1000).toFixed(1) : `${khz} kHz`);

function afText(af) {
  if (!af) return none;
  if (af.method === 'A') return `method A: ${af.frequencies.map(mhz).join(', ')}`;
  return `method B: ${af.lists.map((l) => `${mhz(l.tuned)} → ${[...l.same.map(mhz),
    ...l.regional.map((f) => `${mhz(f)} (regional)`)].join(', ')}`).join('; ')}`;
}

function nowPlayingText(rtplus) {
  const tags = rtplus?.running ? rtplus.tags : {};
  const item = [tags['item.artist'], tags['item.title']].filter(Boolean).join(' – ');
  return item || none;
}

function tmcText(tmc) {
  if (!tmc) return none;
  const service = tmc.encrypted ? 'encrypted' : `location table ${tmc.ltn ?? '?'}`;
  return `${service}, service ${tmc.sid ?? '?'}, ${tmc.messages} message${tmc.messages === 1 ? '' : 's'}`;
}

// The station's clock and how far it is from this machine's, as the minute it names began.
function clockText(clock) {
  if (!clock) return none;
  const seconds = Math.round((Date.parse(clock) - Date.now()) / 1000);
  return `${clock.replace('T', ' ')} (${seconds >= 0 ? '+' : ''}${seconds} s against this machine)`;
}

function buildDetails() {
  const list = document.getElementById('details-list');
  for (const [id, name] of detailsRows) {
    const term = document.createElement('dt');
    term.textContent = name;
    const value = document.createElement('dd');
    value.id = `d-${id}`;
    value.textContent = none;
    list.append(term, value);
  }
}

function setDetail(id, text) {
  const el = document.getElementById(`d-${id}`);
  if (el.textContent !== text) el.textContent = text;
}

let shownClock = null;
function showDetails(s) {
  if (!document.getElementById('d-af')) buildDetails();
  setDetail('af', afText(s.af));
  setDetail('country', s.ecc ? `${s.country ?? '?'} (ECC ${s.ecc})` : none);
  setDetail('language', s.language ?? none);
  setDetail('pin', s.pin ? `day ${s.pin.day}, ${two(s.pin.hour)}:${two(s.pin.minute)}` : none);
  setDetail('ptyn', s.ptyn ?? none);
  setDetail('long-ps', s.long_ps ?? none);
  setDetail('nowplaying', nowPlayingText(s.rtplus));
  setDetail('oda', s.oda.length ? s.oda.map((a) => `${a.aid} ${a.name ?? ''} (${a.group ?? 'no group'})`).join(', ') : none);
  setDetail('tmc', tmcText(s.tmc));
  if (s.clock !== shownClock) {
    shownClock = s.clock;
    setDetail('clock', clockText(s.clock));
  }
  const rows = s.eon.map((n) => {
    const row = document.createElement('tr');
    for (const text of [n.pi, n.ps, n.pty ?? none, `${n.tp ? 'TP' : '–'}/${n.ta ? 'TA' : '–'}`,
      [...n.af, ...n.mapped.map((m) => m.other)].map(mhz).join(', ') || none]) {
      const cell = document.createElement('td');
      cell.textContent = text;
      row.append(cell);
    }
    return row;
  });
  document.querySelector('#eon tbody').replaceChildren(...rows);
}
