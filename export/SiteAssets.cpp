#include "SiteAssets.h"

QByteArray SiteAssets::Stylesheet() {
    return R"css(*, *::before, *::after { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; }
body { margin: 0 auto; max-width: 72rem; padding: 0 1rem 2rem; font-family: system-ui, sans-serif;
  line-height: 1.45; color: #1d1d1f; background: #fff; overflow-wrap: anywhere; }
a { color: #0b57a4; }
img { max-width: 100%; height: auto; }
header.site { padding: .75rem 0; border-bottom: 1px solid #ccc; }
h1 { font-size: 1.8rem; margin: 1rem 0 .5rem; }
h2 { font-size: 1.3rem; margin: 1.5rem 0 .5rem; }
h3 { font-size: 1rem; margin: .4rem 0 .2rem; }
.count, .years, .meta { color: #4a4a4f; }
.listings a { margin-right: 1rem; }
.filters { margin: 1rem 0; }
.filters input[type=search] { width: 100%; max-width: 30rem; font-size: 1rem; padding: .4rem; }
.chips { margin: .5rem 0; display: flex; flex-wrap: wrap; gap: .3rem; align-items: center; }
.chip { font: inherit; font-size: .9rem; padding: .2rem .6rem; border: 1px solid #666;
  border-radius: 1rem; background: #fff; color: #1d1d1f; cursor: pointer; }
.chip[aria-pressed=true] { background: #0b57a4; border-color: #0b57a4; color: #fff; }
.contents ul { columns: 2 14rem; padding-left: 1.2rem; }
.cards { list-style: none; padding: 0; margin: 0; display: grid; gap: 1rem;
  grid-template-columns: repeat(auto-fill, minmax(10rem, 1fr)); }
.card { border: 1px solid #ddd; border-radius: .4rem; padding: .5rem; min-width: 0; }
.card img, .nothumb { display: block; width: 100%; aspect-ratio: 1; object-fit: contain;
  background: #f3f3f3; }
.card .meta span { display: block; font-size: .9rem; }
.card p { margin: 0; }
[hidden] { display: none !important; }
.fields { display: grid; grid-template-columns: max-content 1fr; gap: .3rem 1rem; }
.fields dt { font-weight: bold; }
.fields dd { margin: 0; }
.description { white-space: pre-wrap; }
figure { margin: 1rem 0; }
.gallery { list-style: none; padding: 0; display: flex; flex-wrap: wrap; gap: .5rem; }
.pager { display: flex; flex-wrap: wrap; gap: 1rem; margin-top: 2rem; padding-top: 1rem;
  border-top: 1px solid #ccc; }
.names { columns: 2 16rem; }
@media (max-width: 40rem) {
  .cards { grid-template-columns: repeat(2, minmax(0, 1fr)); }
  .fields { grid-template-columns: 1fr; }
}
@media (max-width: 22rem) {
  .cards { grid-template-columns: minmax(0, 1fr); }
}
)css";
}

QByteArray SiteAssets::Script() {
    return R"js((function () {
  'use strict';
  var data = window.VELMORA_INDEX;
  var box = document.getElementById('search');
  var filters = document.getElementById('filters');
  if (!data || !box || !filters) return;
  function fold(text) {
    return String(text || '').normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
  }
  var cards = {};
  var all = document.querySelectorAll('.card[data-key]');
  for (var i = 0; i < all.length; i++) cards[all[i].getAttribute('data-key')] = all[i];
  var entries = data.map(function (e) {
    return { card: cards[e.k], text: fold([e.n, e.d, e.g, e.m, e.s, e.t].join('\n')),
             genre: e.g, scale: e.s, type: e.t };
  });
  var chips = document.querySelectorAll('button.chip');
  var found = document.getElementById('found');
  function update() {
    var words = fold(box.value).split(/\s+/).filter(Boolean);
    var chosen = {};
    for (var c = 0; c < chips.length; c++) {
      if (chips[c].getAttribute('aria-pressed') === 'true') {
        var field = chips[c].getAttribute('data-field');
        (chosen[field] = chosen[field] || []).push(chips[c].getAttribute('data-value'));
      }
    }
    var shown = 0;
    entries.forEach(function (e) {
      if (!e.card) return;
      var ok = words.every(function (w) { return e.text.indexOf(w) >= 0; });
      for (var f in chosen) if (ok && chosen[f].indexOf(e[f]) < 0) ok = false;
      if (ok) { e.card.removeAttribute('hidden'); shown++; } else e.card.setAttribute('hidden', '');
    });
    var groups = document.querySelectorAll('section.group');
    for (var g = 0; g < groups.length; g++) {
      if (groups[g].querySelector('.card:not([hidden])')) groups[g].removeAttribute('hidden');
      else groups[g].setAttribute('hidden', '');
    }
    if (found) found.textContent = shown + ' of ' + entries.length + ' figures';
  }
  for (var c = 0; c < chips.length; c++) {
    chips[c].addEventListener('click', function () {
      var on = this.getAttribute('aria-pressed') === 'true';
      this.setAttribute('aria-pressed', on ? 'false' : 'true');
      update();
    });
  }
  box.addEventListener('input', update);
  filters.removeAttribute('hidden');
  if (box.value || document.querySelector('button.chip[aria-pressed="true"]')) update();
})();
)js";
}
