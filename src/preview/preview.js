// The preview's side of the page: shows what the editor sends and tells it, through console
// messages the preview program reads, when a frame shows it and what was clicked.
'use strict';
const prizmo = (() => {
  const properties = ['width', 'height', 'background-color', 'background-image', 'font-size',
                      'color', 'float', 'position'];
  const elementOf = rule => rule === 'body' ? document.body : document.getElementById(rule);
  const say = text => console.info('prizmo:' + text);
  let marked = null;

  const mark = rule => {
    if (marked)
      marked.removeAttribute('data-prizmo-mark');
    marked = rule ? elementOf(rule) : null;
    if (marked)
      marked.setAttribute('data-prizmo-mark', '');
  };
  // The rule's declarations as the element's own style; a property they leave out falls back
  // to what the browser would show without the page's rule, which may be out of date now.
  const restyle = (element, declarations) => {
    element.style.cssText = declarations;
    for (const name of properties)
      if (!element.style.getPropertyValue(name))
        element.style.setProperty(name, 'revert');
  };
  // Painted: the next animation frame has run and its rendering has been handed on.
  const afterFrame = seq => requestAnimationFrame(() => setTimeout(() => say('painted:' + seq)));

  addEventListener('click', event => {
    event.preventDefault();
    const div = event.target.closest ? event.target.closest('div[id^="div"]') : null;
    say('clicked:' + (div ? div.id : 'body'));
  }, true);

  return {
    show(page, added, styles, rule, seq) {
      if (page) {
        document.getElementById('prizmo-page').textContent = page.css;
        document.body.removeAttribute('style');
        marked = null;
        document.body.innerHTML = page.elements;
      }
      if (added)
        document.body.insertAdjacentHTML('beforeend', added);
      for (const [rule, declarations] of styles) {
        const element = elementOf(rule);
        if (element)
          restyle(element, declarations);
      }
      mark(rule);
      afterFrame(seq);
    },
    // For tests: what the browser computed for every element.
    probe() {
      const read = element => {
        const style = getComputedStyle(element);
        const box = element.getBoundingClientRect();
        const values = Object.fromEntries(properties.map(name => [name, style.getPropertyValue(name)]));
        values['outline-style'] = style.getPropertyValue('outline-style');
        values['outline-color'] = style.getPropertyValue('outline-color');
        values.parent = element === document.body ? '' : element.parentElement.id || 'body';
        values.centre = [(box.left + box.width / 2) * devicePixelRatio, (box.top + box.height / 2) * devicePixelRatio];
        return values;
      };
      const rules = { body: read(document.body) };
      for (const div of document.querySelectorAll('div[id^="div"]'))
        rules[div.id] = read(div);
      return JSON.stringify(rules);
    },
    centre(rule) {
      const box = elementOf(rule).getBoundingClientRect();
      return [box.left + box.width / 2, box.top + box.height / 2];
    },
  };
})();
