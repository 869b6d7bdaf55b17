// Filters the cards of the index as one types and by the pressed chips.
(function () {
  var search = document.getElementById("search");
  if (!search || !window.siteIndex) return;
  var entries = {};
  window.siteIndex.forEach(function (e) { entries[e.key] = e; });
  var chosen = {};
  function apply() {
    var words = search.value.toLowerCase().split(/\s+/).filter(Boolean);
    document.querySelectorAll(".card").forEach(function (card) {
      var e = entries[card.dataset.key];
      var shown = !!e && words.every(function (w) { return e.text.indexOf(w) >= 0; }) &&
        Object.keys(chosen).every(function (f) { return e[f] === chosen[f]; });
      card.hidden = !shown;
    });
  }
  search.addEventListener("input", apply);
  document.querySelectorAll(".chip").forEach(function (chip) {
    chip.setAttribute("aria-pressed", "false");
    chip.addEventListener("click", function () {
      var f = chip.dataset.field;
      if (chosen[f] === chip.dataset.value) delete chosen[f]; else chosen[f] = chip.dataset.value;
      document.querySelectorAll(".chip").forEach(function (c) {
        c.setAttribute("aria-pressed", String(chosen[c.dataset.field] === c.dataset.value));
      });
      apply();
    });
  });
})();
