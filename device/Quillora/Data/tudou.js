// Helpers of the local play-list pages made from the second provider: a card whose
// picture cannot be loaded shows its title alone, so the grid keeps its shape offline.
(function () {
    function hideBrokenPictures() {
        var images = document.getElementsByTagName('img');
        for (var i = 0; i < images.length; i++) {
            images[i].onerror = function () { this.style.display = 'none'; };
        }
    }
    if (window.addEventListener)
        window.addEventListener('load', hideBrokenPictures, false);
    else if (window.attachEvent)
        window.attachEvent('onload', hideBrokenPictures);
})();
